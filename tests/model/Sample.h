#pragma once
// A configuration of two servers and two files with every field set, and
// its version 9 file written out byte by byte.

#include "model/TessarineDoc.h"

#include <string>

namespace test {

void FillSample(CTessarineDoc& doc);
const std::string& SampleBytes();

}  // namespace test
