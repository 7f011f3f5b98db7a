#include "install/SystemErrorText.h"

#include <cstring>

std::string SystemErrorText(const std::string& text, int errorCode)
{
    return text + "\n\n" + std::strerror(errorCode);
}
