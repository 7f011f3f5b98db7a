#pragma once
// The framework's list control in a window: a report-style Qt list with
// column headers, full-row selection and several rows selectable at once,
// keeping its rows sorted ascending by the first column's text
// (CompareListText, the order CMemoryListCtrl keeps) as they are inserted;
// a header click does not sort. Each row keeps its texts as the bytes it was
// given, so a text that is not UTF-8 still sorts and reads back unchanged.
//
// The two notifications the configuration view handles are callbacks:
// onClick after any mouse button is released over the list (also over empty
// space), onDoubleClick after a double click. They run after the list has
// handled the mouse itself, so the selection they see is the new one; they
// may rebuild the list.

#include "platform/framework/ListCtrl.h"

#include <QTreeWidget>

#include <functional>
#include <string>

class CQtListCtrl : public QTreeWidget, public CListCtrl {
public:
    explicit CQtListCtrl(QWidget* parent = nullptr);

    int GetSelectedCount() const override;
    int GetItemCount() const override;
    bool IsItemSelected(int row) const override;
    ItemData GetItemData(int row) const override;
    // Off: no repaint until it is turned on again, which repaints once.
    void SetRedraw(bool redraw) override;
    void DeleteAllItems() override;
    // A Qt list needs no room reserved: nothing to do.
    void SetItemCount(int count) override;
    int InsertItem(int row, const std::string& text, ItemData data) override;
    bool SetItemText(int row, int column, const std::string& text) override;
    bool GetColumn(int column, int* width) const override;
    // In the list's font.
    int GetStringWidth(const std::string& text) const override;
    int InsertColumn(int column, const std::string& title, int format, int width,
                     int subItem = -1) override;

    // A cell's text as it was set; empty for a cell that does not exist.
    std::string GetItemText(int row, int column) const;
    // Columns made through InsertColumn (the Qt list always has one).
    int ColumnCount() const { return m_columns; }

    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* Row(int row) const;
    void SetCell(QTreeWidgetItem* item, int column, const std::string& text) const;
    int m_columns = 0;
};
