// What a load that cannot succeed leaves behind.

#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/model/Sample.h"
#include "tests/support/Bytes.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using test::Hex;
using test::Le32;
using test::Short;

namespace {

constexpr const char* kNotTessarine = "This file is not a Tessarine file or the file is corrupt.";
constexpr const char* kFuture =
    "This file was saved using a future version Tessarine or the file is corrupt. "
    "Please obtain an update to open this file.";
constexpr const char* kUnexpected = "Unexpected file format.";

void ExpectNewUntitled(const CTessarineDoc& doc)
{
    EXPECT_TRUE(doc.m_servers.empty());
    EXPECT_TRUE(doc.m_files.empty());
    EXPECT_EQ(doc.m_strLastWebFolder, "");
    EXPECT_EQ(doc.m_nLastFilterIndex, 0);
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace

TEST(LoadFailure, ForeignAndNewerFilesAreToldAndNotTaken)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"wrong magic", "KTSM" + Le32(9) + std::string(14, '\0'), kNotTessarine},
        {"magic of another byte order", "NSTK" + Le32(9), kNotTessarine},
        {"version 10", "KTSN" + Le32(10), kFuture},
        {"version 2^31", "KTSN" + Le32(0x80000000), kFuture},
        {"version 2^32-1", "KTSN" + Le32(0xFFFFFFFF) + std::string(14, '\0'), kFuture},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("other.tsn");
        test::WriteFile(path, c.bytes);
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        test::FillSample(doc);
        doc.SetPathName(dir.file("previous.tsn"));
        EXPECT_EQ(OpenDocumentFile(doc, path), OpenOutcome::loadFailed);
        ASSERT_EQ(box.shown().size(), 1u);  // the reader's message, no second one
        EXPECT_EQ(box.shown()[0], (test::ShownMessage{"Tessarine", c.message, MB_ICONEXCLAMATION}));
        ExpectNewUntitled(doc);
        // The document does not carry the file's name, so saving it cannot
        // overwrite the file; saving under a new name leaves it whole too.
        ASSERT_TRUE(SaveDocumentFile(doc, dir.file("saved.tsn")));
        EXPECT_EQ(test::ReadFile(path), c.bytes);
    }
}

TEST(LoadFailure, EveryCutOfAValidFileIsUnexpected)
{
    const std::string& bytes = test::SampleBytes();
    for (std::size_t length = 1; length < bytes.size(); ++length) {
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        test::FillSample(doc);
        EXPECT_FALSE(LoadDocumentFromBytes(doc, bytes.substr(0, length))) << length;
        EXPECT_EQ(box.texts(), std::vector<std::string>{kUnexpected}) << length;
        ExpectNewUntitled(doc);
    }
}

TEST(LoadFailure, CountsTheRestOfTheFileCannotHoldAreUnexpected)
{
    const std::string header = "KTSN" + Le32(9) + Short("") + Le32(0) + Short("");
    const std::string oneServer = Short("h") + Short("u") + Short("p") + Short("b");
    const std::string oneFile = Short("f") + Short("w") + std::string(18, '\0');
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"4 GiB servers in a small file", header + Le32(0xFFFFFFFF) + std::string(26, '\0')},
        {"4 GiB files", header + Le32(0) + Le32(0xFFFFFFFF) + std::string(40, '\0')},
        {"one server more than follows", header + Le32(2) + oneServer + Le32(0)},
        {"one file more than follows", header + Le32(0) + Le32(2) + oneFile},
        {"a 4 GiB text", header + Le32(1) + Hex("FF FF FF") + Le32(0xFFFFFFFF)},
        {"a wide text of 2^31 units", header + Le32(1) + Hex("FF FE FF FF FF FF") + Le32(0x80000000)},
    };
    for (const Case& c : cases) {
        test::ScriptedMessageBox box;
        CTessarineDoc doc;
        EXPECT_FALSE(LoadDocumentFromBytes(doc, c.bytes)) << c.name;
        EXPECT_EQ(box.texts(), std::vector<std::string>{kUnexpected}) << c.name;
    }
    // The same counts, satisfied, load.
    CTessarineDoc doc;
    ASSERT_TRUE(LoadDocumentFromBytes(doc, header + Le32(2) + oneServer + oneServer + Le32(2) + oneFile + oneFile));
    EXPECT_EQ(doc.m_servers.size(), 2u);
    EXPECT_EQ(doc.m_files.size(), 2u);
}

TEST(LoadFailure, VersionNineItselfIsNotTheFuture)
{
    test::ScriptedMessageBox box;
    CTessarineDoc doc;
    EXPECT_TRUE(LoadDocumentFromBytes(doc, "KTSN" + Le32(9) + Short("") + Le32(0) + Short("") + Le32(0) + Le32(0)));
    EXPECT_TRUE(box.shown().empty());
}
