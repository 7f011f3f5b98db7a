#include "res/VersionText.h"

#include "res/Version.h"

#include <cstdio>

std::string VersionBlock::String(const std::string& name) const
{
    for (const auto& [key, value] : strings)
        if (key == name)
            return value;
    return std::string();
}

const VersionBlock* ProgramVersionBlock()
{
    static const VersionBlock block = [] {
        VersionBlock b;
        b.fileVersionMS = VersionHalf(TESSARINE_VERSION_MAJOR, TESSARINE_VERSION_MINOR);
        b.fileVersionLS = VersionHalf(TESSARINE_VERSION_PATCH, TESSARINE_VERSION_BUILD);
        b.productVersionMS = b.fileVersionMS;
        b.productVersionLS = b.fileVersionLS;
        b.strings = {
            {"CompanyName", "The Tessarine developers"},
            {"FileDescription", "Tessarine"},
            {"FileVersion", TESSARINE_VERSION_COMMAS},
            {"InternalName", "Tessarine"},
            {"LegalCopyright", "Copyright (C) the Tessarine developers"},
            {"LegalTrademarks", "Tessarine is a name of the Tessarine project"},
            {"OriginalFilename", "Tessup.EXE"},
            {"ProductName", "Tessarine"},
            {"ProductVersion", TESSARINE_VERSION_COMMAS},
            {"Comments", "Uploads the changed files of a web site to its FTP servers"},
        };
        return b;
    }();
    return &block;
}

std::string GetVersionText(const VersionBlock* block)
{
    if (!block)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%d.%02d", static_cast<int>(block->fileVersionMS >> 16),
                  static_cast<int>(block->fileVersionMS & 0xFFFF));
    std::string result = text;
    const unsigned third = block->fileVersionLS >> 16;
    if (third >= 1 && third <= 99)
        result += " Beta " + std::to_string(third);
    return result;
}

std::string GetVersionText()
{
    return GetVersionText(ProgramVersionBlock());
}
