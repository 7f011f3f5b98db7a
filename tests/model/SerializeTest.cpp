#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "tests/support/Bytes.h"
#include "tests/support/ScriptedMessageBox.h"
#include "tests/model/Sample.h"

#include <gtest/gtest.h>

using test::Hex;
using test::FillSample;
using test::SampleBytes;
using test::ToHex;

namespace {

std::string Store(CTessarineDoc& doc)
{
    CArchive ar;
    doc.Serialize(ar);
    return ar.GetStoredBytes();
}

}  // namespace

TEST(Serialize, ANewDocumentIsTheTwentyTwoByteFile)
{
    CTessarineDoc doc;
    doc.OnNewDocument();
    EXPECT_EQ(ToHex(Store(doc)), "4B 54 53 4E 09 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(Serialize, GoldenBytesOfTwoServersAndTwoFiles)
{
    CTessarineDoc doc;
    FillSample(doc);
    EXPECT_EQ(ToHex(Store(doc)), ToHex(SampleBytes()));
}

TEST(Serialize, GoldenBytesLoadIntoEveryField)
{
    CTessarineDoc expected;
    FillSample(expected);
    CTessarineDoc doc;
    test::ScriptedMessageBox box;
    ASSERT_TRUE(LoadDocumentFromBytes(doc, SampleBytes()));
    EXPECT_EQ(doc.m_servers, expected.m_servers);
    EXPECT_EQ(doc.m_files, expected.m_files);
    EXPECT_EQ(doc.m_strLastWebFolder, "www");
    EXPECT_EQ(doc.m_nLastFilterIndex, 2);
    EXPECT_EQ(doc.m_strLastBrowseFolder, "/home/u/");
    EXPECT_TRUE(box.shown().empty());
}

TEST(Serialize, TextsKeepEveryByteAndLongTextsRoundTrip)
{
    CTessarineDoc doc;
    doc.m_strLastWebFolder = std::string("a\0b\xFF", 4);
    doc.m_strLastBrowseFolder = std::string(70000, 'f');
    doc.m_servers = {{std::string(255, 's'), std::string(65534, 'u'), std::string(300, '\xFF'), "x", 0}};
    doc.m_files = {{std::string(254, 'n'), "w\\x", 0x8002, CTime(-1), CTime(0x7FFFFFFF), 1, 2}};
    CTessarineDoc loaded;
    ASSERT_TRUE(LoadDocumentFromBytes(loaded, Store(doc)));
    EXPECT_EQ(loaded.m_strLastWebFolder, doc.m_strLastWebFolder);
    EXPECT_EQ(loaded.m_strLastBrowseFolder, doc.m_strLastBrowseFolder);
    EXPECT_EQ(loaded.m_servers, doc.m_servers);
    EXPECT_EQ(loaded.m_files, doc.m_files);
}

TEST(Serialize, AStoredMarkIsDroppedAndOtherFlagBitsStay)
{
    std::string bytes = SampleBytes();
    const std::string flags = Hex("02 00") + Hex("00 10 5E 5F");
    bytes.replace(bytes.find(flags), 2, Hex("03 81"));  // ENTRY_MARKED | FILE_ASCII | 0x8100
    CTessarineDoc doc;
    ASSERT_TRUE(LoadDocumentFromBytes(doc, bytes));
    EXPECT_EQ(doc.m_files[0].m_wFlags, 0x8102);
    EXPECT_EQ(doc.m_files[1].m_wFlags, 0);
}

TEST(Serialize, BytesAfterTheLastRecordAreNotRead)
{
    CTessarineDoc doc;
    ASSERT_TRUE(LoadDocumentFromBytes(doc, SampleBytes() + "trailing"));
    EXPECT_EQ(doc.m_files.size(), 2u);
}

TEST(Serialize, DeleteContentsEmptiesEverything)
{
    CTessarineDoc doc;
    FillSample(doc);
    doc.SetPathName("/x/site.tsn");
    doc.SetModifiedFlag();
    doc.DeleteContents();
    EXPECT_TRUE(doc.m_servers.empty());
    EXPECT_TRUE(doc.m_files.empty());
    EXPECT_EQ(doc.m_servers.capacity(), 0u);
    EXPECT_EQ(doc.m_strLastWebFolder, "");
    EXPECT_EQ(doc.m_nLastFilterIndex, 0);
    EXPECT_EQ(doc.m_strLastBrowseFolder, "");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), "/x/site.tsn");
}

TEST(Serialize, UploadIsEnabledOnlyWithAServerAndAFile)
{
    CTessarineDoc doc;
    CCmdUI ui(32771);
    doc.OnUpdateUpload(&ui);
    EXPECT_FALSE(ui.IsEnabled());
    doc.m_servers.push_back({});
    doc.OnUpdateUpload(&ui);
    EXPECT_FALSE(ui.IsEnabled());
    doc.m_files.push_back({});
    doc.OnUpdateUpload(&ui);
    EXPECT_TRUE(ui.IsEnabled());
    doc.m_servers.clear();
    doc.OnUpdateUpload(&ui);
    EXPECT_FALSE(ui.IsEnabled());
}
