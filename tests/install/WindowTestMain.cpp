// The window tests' main: the shared private environment and one
// QApplication on the offscreen platform.

#include "tests/install/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { test::InstallerTestApp(); }
};

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
