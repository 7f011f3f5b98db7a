#pragma once
// A list control without a window: rows kept in memory, sorted ascending by
// the first column's text (CompareListText) as the window's list keeps them;
// a row whose text equals others goes after them. Used by the command-line
// tool to reach entries through the same row-to-index mapping as the window,
// and by tests, which select rows and read every cell back.

#include "platform/framework/ListCtrl.h"

#include <string>
#include <vector>

class CMemoryListCtrl : public CListCtrl {
public:
    struct Column {
        std::string title;
        int format = LVCFMT_LEFT;
        int width = 0;
    };

    int GetSelectedCount() const override;
    int GetItemCount() const override;
    bool IsItemSelected(int row) const override;
    ItemData GetItemData(int row) const override;
    void SetRedraw(bool redraw) override;
    void DeleteAllItems() override;
    void SetItemCount(int count) override;
    int InsertItem(int row, const std::string& text, ItemData data) override;
    bool SetItemText(int row, int column, const std::string& text) override;
    bool GetColumn(int column, int* width) const override;
    // Pixel metric of this control: kCharWidth per byte.
    int GetStringWidth(const std::string& text) const override;
    int InsertColumn(int column, const std::string& title, int format, int width,
                     int subItem = -1) override;

    static constexpr int kCharWidth = 6;

    // What a user does with the mouse: selects or deselects one row. False for
    // a position outside the list.
    bool SetItemSelected(int row, bool selected);
    // Selects the first row whose item data is data; false when none has it.
    bool SelectItemWithData(ItemData data);
    // Text of a cell; empty for a cell that does not exist.
    std::string GetItemText(int row, int column) const;
    const std::vector<Column>& columns() const { return m_columns; }
    bool redrawing() const { return m_redraw; }
    // How many times InsertColumn succeeded over the control's life.
    int insertedColumns() const { return m_insertedColumns; }

private:
    struct Row {
        std::vector<std::string> texts;  // one per column; column 0 always present
        ItemData data = 0;
        bool selected = false;
    };
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    bool m_redraw = true;
    int m_insertedColumns = 0;
};
