// The Qt list and the in-memory list answer every call of the list-control
// interface alike, so that the editing operations behave in the window as
// they do in the tool and in the model's tests.

#include "platform/framework/MemoryListCtrl.h"
#include "platform/widgets/QtListCtrl.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <string>
#include <vector>

QApplication& WidgetsTestApp();

namespace {

// Every answer a list gives to the calls below, in order.
std::vector<std::string> Script(CListCtrl& list)
{
    std::vector<std::string> answers;
    auto note = [&answers](const std::string& what, long long value) {
        answers.push_back(what + "=" + std::to_string(value));
    };
    note("column0", list.GetColumn(0, nullptr));
    note("insertColumn", list.InsertColumn(0, "Name", LVCFMT_LEFT, 40));
    note("insertColumn", list.InsertColumn(5, "Last", LVCFMT_LEFT, 30));  // past the end: appended
    int width = 0;
    note("column1", list.GetColumn(1, &width));
    note("width1", width);
    note("column2", list.GetColumn(2, nullptr));
    const char* texts[] = {"beta", "Alpha", "alpha", "", "beta", "caf\xE9", "zeta", "Beta"};
    for (int i = 0; i < int(std::size(texts)); ++i) {
        const int row = list.InsertItem(i, texts[i], 100 + i);
        note(std::string("insert ") + texts[i], row);
        if (row >= 0)
            note("setText", list.SetItemText(row, 1, std::string("#") + std::to_string(i)));
    }
    note("insertNegative", list.InsertItem(-1, "x", 1));
    note("setTextNoColumn", list.SetItemText(0, 2, "x"));
    note("setTextNoRow", list.SetItemText(99, 0, "x"));
    note("insertColumnMiddle", list.InsertColumn(1, "Middle", LVCFMT_LEFT, 20));
    note("count", list.GetItemCount());
    note("selected", list.GetSelectedCount());
    note("selectedOutside", list.IsItemSelected(99));
    note("dataOutside", list.GetItemData(-1));
    for (int row = 0; row < list.GetItemCount(); ++row)
        note("data" + std::to_string(row), list.GetItemData(row));
    list.SetRedraw(false);
    list.DeleteAllItems();
    list.SetRedraw(true);
    note("afterDelete", list.GetItemCount());
    note("columnsKept", list.GetColumn(2, nullptr));
    return answers;
}

std::vector<std::vector<std::string>> Cells(const CListCtrl& list, int columns,
                                            std::string (*text)(const CListCtrl&, int, int))
{
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        auto& cells = rows.emplace_back();
        for (int column = 0; column < columns; ++column)
            cells.push_back(text(list, row, column));
    }
    return rows;
}

std::string MemoryText(const CListCtrl& list, int row, int column)
{
    return static_cast<const CMemoryListCtrl&>(list).GetItemText(row, column);
}

std::string QtText(const CListCtrl& list, int row, int column)
{
    return static_cast<const CQtListCtrl&>(list).GetItemText(row, column);
}

}  // namespace

TEST(QtListCtrl, AnswersAsTheMemoryListDoes)
{
    WidgetsTestApp();
    CMemoryListCtrl memory;
    CQtListCtrl qt;
    EXPECT_EQ(Script(qt), Script(memory));
}

TEST(QtListCtrl, KeepsRowsSortedWithTheirBytesAndShiftsCellsForAMiddleColumn)
{
    WidgetsTestApp();
    CMemoryListCtrl memory;
    CQtListCtrl qt;
    for (CListCtrl* list : {static_cast<CListCtrl*>(&memory), static_cast<CListCtrl*>(&qt)}) {
        list->InsertColumn(0, "A", LVCFMT_LEFT, 10);
        list->InsertColumn(1, "C", LVCFMT_LEFT, 10);
        for (const char* text : {"m\xF6we", "Zebra", "apple", "mouse"}) {
            const int row = list->InsertItem(0, text, 0);
            list->SetItemText(row, 1, std::string("c-") + text);
        }
        list->InsertColumn(1, "B", LVCFMT_LEFT, 10);
    }
    const auto expected = std::vector<std::vector<std::string>>{
        {"apple", "", "c-apple"}, {"mouse", "", "c-mouse"}, {"m\xF6we", "", "c-m\xF6we"}, {"Zebra", "", "c-Zebra"}};
    EXPECT_EQ(Cells(memory, 3, MemoryText), expected);
    EXPECT_EQ(Cells(qt, 3, QtText), expected) << "a text that is not UTF-8 sorts and reads back as its bytes";
    EXPECT_EQ(qt.headerItem()->text(1).toStdString(), "B");
    EXPECT_EQ(qt.headerItem()->text(2).toStdString(), "C");
}
