#pragma once
// The text of ShowSystemError: the caller's text, a blank line and the
// system's own words for errorCode (an errno value, taken at the failing
// call before anything else could change errno).

#include <string>

std::string SystemErrorText(const std::string& text, int errorCode);
