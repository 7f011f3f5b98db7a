#pragma once
// Root of the framework's exception objects. Only the framework's classes
// throw them (archive end of file, file errors, internet errors), at the
// boundaries where callers catch them; the program's own operations never
// throw.

#include <exception>

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "framework exception"; }
};
