#pragma once
// The list control of the framework, reduced to what the document's list
// operations use. The configuration window implements it with a Qt list; the
// command-line tool and the tests use CMemoryListCtrl. Rows are addressed by
// position (0 = the top row); a control that sorts gives a new row the
// position its text earns, not the one asked for. Every row carries one
// ItemData value that the control never looks at. Calls never block.

#include <cstdint>
#include <string>

// The value a row carries beside its texts (the framework's DWORD_PTR item
// data, kept signed so that a caller can tell a negative value from an index).
using ItemData = std::intptr_t;

// Column alignment for InsertColumn (the platform's value).
constexpr int LVCFMT_LEFT = 0x0000;

class CListCtrl {
public:
    virtual ~CListCtrl() = default;

    // Number of selected rows.
    virtual int GetSelectedCount() const = 0;
    // Number of rows.
    virtual int GetItemCount() const = 0;
    // Whether the row at position row is selected; false for a position
    // outside the list.
    virtual bool IsItemSelected(int row) const = 0;
    // The item data of the row at position row; 0 for a position outside the list.
    virtual ItemData GetItemData(int row) const = 0;

    // Turns repainting off (false) or on again (true); a rebuild between the two
    // is shown in one paint.
    virtual void SetRedraw(bool redraw) = 0;
    // Removes every row (columns stay).
    virtual void DeleteAllItems() = 0;
    // Announces how many rows are about to be inserted, so the control can
    // reserve room. Changes no row.
    virtual void SetItemCount(int count) = 0;
    // Inserts an unselected row with column 0's text and its item data; row is
    // the position asked for. Returns the position the control gave the row,
    // or a negative value when no row was inserted.
    virtual int InsertItem(int row, const std::string& text, ItemData data) = 0;
    // Sets the text of column column in the row at position row; false when
    // the row or the column does not exist.
    virtual bool SetItemText(int row, int column, const std::string& text) = 0;

    // Whether column column exists; when it does and width is not null, *width
    // receives its width in pixels.
    virtual bool GetColumn(int column, int* width) const = 0;
    // Width in pixels of text in the control's font.
    virtual int GetStringWidth(const std::string& text) const = 0;
    // Inserts a column at position column with a title, an alignment (LVCFMT_*)
    // and a width in pixels; subItem -1 gives it no subitem index of its own.
    // Returns the new column's position, or -1 on failure.
    virtual int InsertColumn(int column, const std::string& title, int format, int width,
                             int subItem = -1) = 0;
};
