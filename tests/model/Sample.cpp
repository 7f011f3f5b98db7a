#include "tests/model/Sample.h"

#include "tests/support/Bytes.h"

namespace test {

// Two servers and two files, with every field set to something telling.
void FillSample(CTessarineDoc& doc)
{
    doc.m_strLastWebFolder = "www";
    doc.m_nLastFilterIndex = 2;
    doc.m_strLastBrowseFolder = "/home/u/";
    doc.m_servers = {
        {"ftp.a.example", "anna", "abcde", "www/site", 0},
        {"b", "", "zzzzzz", "", 0},
    };
    doc.m_files = {
        {"/s/index.html", "docs", FILE_ASCII, CTime(1600000000), CTime(1600000100), 1234, 1236},
        {"/s/p.jpg", "", 0, CTime(0), CTime(-2), 0, 0xFFFFFFFF},
    };
}

const std::string& SampleBytes()
{
    static const std::string bytes =
        Hex("4B 54 53 4E") + Hex("09 00 00 00")       // "KTSN", version 9
        + Hex("03") + "www" + Hex("02 00 00 00")      // last web folder, filter index
        + Hex("08") + "/home/u/"                      // last browse folder
        + Hex("02 00 00 00")                          // two servers
        + Hex("0D") + "ftp.a.example" + Hex("04") + "anna"
        + Hex("05 7A B0 E0 8F E2")                    // "abcde" scrambled
        + Hex("08") + "www/site"
        + Hex("01") + "b" + Hex("00")
        + Hex("06 93 C8 F7 A5 F7 00")                 // "zzzzzz" scrambled
        + Hex("00")
        + Hex("02 00 00 00")                          // two files
        + Hex("0D") + "/s/index.html" + Hex("04") + "docs"
        + Hex("02 00") + Hex("00 10 5E 5F") + Hex("64 10 5E 5F") + Hex("D2 04 00 00") + Hex("D4 04 00 00")
        + Hex("08") + "/s/p.jpg" + Hex("00")
        + Hex("00 00") + Hex("00 00 00 00") + Hex("FE FF FF FF") + Hex("00 00 00 00") + Hex("FF FF FF FF");
    return bytes;
}

}  // namespace test
