#include "platform/framework/ListSortOrder.h"
#include "platform/framework/MemoryListCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Column0(const CMemoryListCtrl& list)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row)
        texts.push_back(list.GetItemText(row, 0));
    return texts;
}

}  // namespace

TEST(ListSortOrder, ComparesAsciiLettersWithoutCaseThenByBytes)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"alpha", "beta", -1},
        {"Alpha", "beta", -1},   // case does not put capitals first
        {"alpha", "Beta", -1},
        {"ALPHA", "alpha", -1},  // equal without case: bytes decide, 'A' < 'a'
        {"alpha", "alpha", 0},
        {"alp", "alpha", -1},    // a prefix first
        {"_x", "ax", -1},        // '_' (0x5F) below 'a' (0x61), though above 'A' (0x41)
        {"z", "\xC3\xA9", -1},   // bytes above 0x7F after ASCII
        {"", "a", -1},
    };
    for (const Case& c : cases) {
        const int got = CompareListText(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
        const int back = CompareListText(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST(MemoryListCtrl, InsertPlacesRowsByTextAndReturnsTheirPosition)
{
    CMemoryListCtrl list;
    EXPECT_EQ(list.InsertItem(0, "delta", 0), 0);
    EXPECT_EQ(list.InsertItem(1, "Bravo", 1), 0);
    EXPECT_EQ(list.InsertItem(2, "echo", 2), 2);
    EXPECT_EQ(list.InsertItem(3, "charlie", 3), 1);
    EXPECT_EQ(list.InsertItem(4, "bravo", 4), 1);  // after "Bravo", before "charlie"
    EXPECT_EQ(Column0(list), (std::vector<std::string>{"Bravo", "bravo", "charlie", "delta", "echo"}));
    const std::vector<ItemData> data = {1, 4, 3, 0, 2};
    for (int row = 0; row < list.GetItemCount(); ++row)
        EXPECT_EQ(list.GetItemData(row), data[row]) << "row " << row;
}

TEST(MemoryListCtrl, EqualTextsKeepTheirInsertionOrder)
{
    CMemoryListCtrl list;
    EXPECT_EQ(list.InsertItem(0, "same", 10), 0);
    EXPECT_EQ(list.InsertItem(1, "same", 11), 1);
    EXPECT_EQ(list.InsertItem(2, "same", 12), 2);
    EXPECT_EQ(list.GetItemData(0), 10);
    EXPECT_EQ(list.GetItemData(2), 12);
    EXPECT_LT(list.InsertItem(-1, "refused", 13), 0);
    EXPECT_EQ(list.GetItemCount(), 3);
}
