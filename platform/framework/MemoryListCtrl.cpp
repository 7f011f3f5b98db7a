#include "platform/framework/MemoryListCtrl.h"

#include "platform/framework/ListSortOrder.h"

#include <algorithm>

int CMemoryListCtrl::GetSelectedCount() const
{
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(),
                                          [](const Row& r) { return r.selected; }));
}

int CMemoryListCtrl::GetItemCount() const
{
    return static_cast<int>(m_rows.size());
}

bool CMemoryListCtrl::IsItemSelected(int row) const
{
    return ValidRow(row) && m_rows[row].selected;
}

ItemData CMemoryListCtrl::GetItemData(int row) const
{
    return ValidRow(row) ? m_rows[row].data : 0;
}

void CMemoryListCtrl::SetRedraw(bool redraw)
{
    m_redraw = redraw;
}

void CMemoryListCtrl::DeleteAllItems()
{
    m_rows.clear();
}

void CMemoryListCtrl::SetItemCount(int count)
{
    if (count > 0)
        m_rows.reserve(static_cast<std::size_t>(count));
}

int CMemoryListCtrl::InsertItem(int row, const std::string& text, ItemData data)
{
    // A sorted control ignores the position asked for (as long as it is one
    // a row could have) and places the row by its text, after equal texts.
    if (row < 0)
        return -1;
    auto at = std::upper_bound(m_rows.begin(), m_rows.end(), text,
                               [](const std::string& t, const Row& r) {
                                   return CompareListText(t, r.texts[0]) < 0;
                               });
    Row added;
    added.texts.push_back(text);
    added.data = data;
    const auto position = at - m_rows.begin();
    m_rows.insert(at, std::move(added));
    return static_cast<int>(position);
}

bool CMemoryListCtrl::SetItemText(int row, int column, const std::string& text)
{
    if (!ValidRow(row) || column < 0 || column >= std::max<int>(1, static_cast<int>(m_columns.size())))
        return false;
    std::vector<std::string>& texts = m_rows[row].texts;
    if (texts.size() <= static_cast<std::size_t>(column))
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[column] = text;
    return true;
}

bool CMemoryListCtrl::GetColumn(int column, int* width) const
{
    if (column < 0 || column >= static_cast<int>(m_columns.size()))
        return false;
    if (width)
        *width = m_columns[column].width;
    return true;
}

int CMemoryListCtrl::GetStringWidth(const std::string& text) const
{
    return kCharWidth * static_cast<int>(text.size());
}

int CMemoryListCtrl::InsertColumn(int column, const std::string& title, int format, int width,
                                  int /*subItem*/)
{
    if (column < 0)
        return -1;
    const int at = std::min(column, static_cast<int>(m_columns.size()));
    m_columns.insert(m_columns.begin() + at, Column{title, format, width});
    for (Row& r : m_rows)  // cells right of the new column move one place right
        if (r.texts.size() > static_cast<std::size_t>(at) && at > 0)
            r.texts.insert(r.texts.begin() + at, std::string());
    ++m_insertedColumns;
    return at;
}

bool CMemoryListCtrl::SetItemSelected(int row, bool selected)
{
    if (!ValidRow(row))
        return false;
    m_rows[row].selected = selected;
    return true;
}

bool CMemoryListCtrl::SelectItemWithData(ItemData data)
{
    for (Row& r : m_rows) {
        if (r.data == data) {
            r.selected = true;
            return true;
        }
    }
    return false;
}

std::string CMemoryListCtrl::GetItemText(int row, int column) const
{
    if (!ValidRow(row) || column < 0 || static_cast<std::size_t>(column) >= m_rows[row].texts.size())
        return {};
    return m_rows[row].texts[column];
}
