// Files of every format version, written byte by byte from the version
// table, each loaded with the defaults for what it lacks.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Bytes.h"
#include "tests/support/ScriptedMessageBox.h"

#include <gtest/gtest.h>

using test::Hex;
using test::Le16;
using test::Le32;
using test::Short;

namespace {

// What a version holds beyond versions 0 and 1.
struct Layout {
    DWORD version;
    bool files;       // file count and records (2)
    bool lastWeb;     // last web folder (3)
    bool filter;      // last filter index (4)
    bool browse;      // last browse folder (5)
    bool flagsTime;   // file flags and local time (6)
    bool record;      // remote time, local and remote size (7)
    bool scrambled;   // password scrambled (8)
    bool base;        // server base folder (9)
};

constexpr Layout kLayouts[] = {
    {0, false, false, false, false, false, false, false, false},
    {1, false, false, false, false, false, false, false, false},
    {2, true, false, false, false, false, false, false, false},
    {3, true, true, false, false, false, false, false, false},
    {4, true, true, true, false, false, false, false, false},
    {5, true, true, true, true, false, false, false, false},
    {6, true, true, true, true, true, false, false, false},
    {7, true, true, true, true, true, true, false, false},
    {8, true, true, true, true, true, true, true, false},
    {9, true, true, true, true, true, true, true, true},
};

std::string FileRecord(const Layout& l, const std::string& name, const std::string& folder, WORD flags,
                       DWORD base)
{
    std::string bytes = Short(name) + Short(folder);
    if (l.flagsTime)
        bytes += Le16(flags) + Le32(base);
    if (l.record)
        bytes += Le32(base + 1) + Le32(base + 2) + Le32(base + 3);
    return bytes;
}

std::string FileOfVersion(const Layout& l)
{
    std::string bytes = "KTSN" + Le32(l.version);
    if (l.lastWeb)
        bytes += Short("web\\");
    if (l.filter)
        bytes += Le32(3);
    if (l.browse)
        bytes += Short("/browse/");
    bytes += Le32(1) + Short("host") + Short("user");
    bytes += l.scrambled ? Hex("05 7A B0 E0 8F E2") : Short("abcde");
    if (l.base)
        bytes += Short("base");
    if (l.files) {
        bytes += Le32(2);
        // Stored flags deliberately differ from what the names suggest.
        bytes += FileRecord(l, "a.htm", "w1", 0x0000, 100);
        bytes += FileRecord(l, "dir.txt/b.GIF", "w2", 0x0102, 200);
    }
    return bytes;
}

FileEntry ExpectedFile(const Layout& l, const std::string& name, const std::string& folder, WORD storedFlags,
                       WORD guessedFlags, std::int32_t base)
{
    FileEntry f;
    f.m_strFileName = name;
    f.m_strWebFolder = folder;
    f.m_wFlags = l.flagsTime ? storedFlags : guessedFlags;
    f.m_timeLocal = l.flagsTime ? CTime(base) : CTime(0);
    if (l.record) {
        f.m_timeRemote = CTime(base + 1);
        f.m_dwLocalSize = static_cast<DWORD>(base + 2);
        f.m_dwRemoteSize = static_cast<DWORD>(base + 3);
    }
    return f;
}

}  // namespace

TEST(VersionTable, EveryVersionLoadsWithItsDefaults)
{
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE("version " + std::to_string(l.version));
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        ASSERT_TRUE(LoadDocumentFromBytes(doc, FileOfVersion(l)));
        EXPECT_TRUE(box.shown().empty());
        EXPECT_EQ(doc.m_strLastWebFolder, l.lastWeb ? "web\\" : "");
        EXPECT_EQ(doc.m_nLastFilterIndex, l.filter ? 3 : 0);
        EXPECT_EQ(doc.m_strLastBrowseFolder, l.browse ? "/browse/" : "");
        ASSERT_EQ(doc.m_servers.size(), 1u);
        EXPECT_EQ(doc.m_servers[0], (ServerEntry{"host", "user", "abcde", l.base ? "base" : "", 0}));
        if (!l.files) {
            EXPECT_TRUE(doc.m_files.empty());
            continue;
        }
        ASSERT_EQ(doc.m_files.size(), 2u);
        // Without stored flags the type comes from the name: .htm is ASCII,
        // .GIF binary (the ".txt" of the folder does not count).
        EXPECT_EQ(doc.m_files[0], ExpectedFile(l, "a.htm", "w1", 0x0000, FILE_ASCII, 100));
        EXPECT_EQ(doc.m_files[1], ExpectedFile(l, "dir.txt/b.GIF", "w2", 0x0102, 0, 200));
    }
}

TEST(VersionTable, EveryVersionCutShortIsUnexpected)
{
    for (const Layout& l : kLayouts) {
        const std::string bytes = FileOfVersion(l);
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        EXPECT_FALSE(LoadDocumentFromBytes(doc, bytes.substr(0, bytes.size() - 1))) << l.version;
        EXPECT_EQ(box.texts(), std::vector<std::string>{"Unexpected file format."}) << l.version;
    }
}

TEST(VersionTable, AnOldFileIsSavedAsVersionNineWithScrambledPasswords)
{
    CTessarineDoc doc;
    ASSERT_TRUE(LoadDocumentFromBytes(doc, FileOfVersion(kLayouts[7])));
    CArchive ar;
    doc.Serialize(ar);
    const std::string& saved = ar.GetStoredBytes();
    EXPECT_EQ(saved.substr(0, 8), "KTSN" + Le32(9));
    EXPECT_NE(saved.find(Short("user") + Hex("05 7A B0 E0 8F E2") + Short("")), std::string::npos);
}
