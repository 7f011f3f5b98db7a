#include "platform/widgets/QtListCtrl.h"

#include "platform/framework/ListSortOrder.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace {

// Where a row's item data and its texts as bytes are kept.
constexpr int kItemDataRole = Qt::UserRole;
constexpr int kBytesRole = Qt::UserRole + 1;

Qt::Alignment AlignmentOf(int format)
{
    switch (format & 3) {
    case 1: return Qt::AlignRight | Qt::AlignVCenter;
    case 2: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

std::string BytesOf(const QTreeWidgetItem* item, int column)
{
    const QByteArray bytes = item->data(column, kBytesRole).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

CQtListCtrl::CQtListCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFocusPolicy(Qt::StrongFocus);
    // The selection stays visible when the list loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    setHeaderLabels({QString()});
}

QTreeWidgetItem* CQtListCtrl::Row(int row) const
{
    return (row >= 0 && row < topLevelItemCount()) ? topLevelItem(row) : nullptr;
}

void CQtListCtrl::SetCell(QTreeWidgetItem* item, int column, const std::string& text) const
{
    item->setText(column, QString::fromStdString(text));
    item->setData(column, kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

int CQtListCtrl::GetSelectedCount() const
{
    int count = 0;
    for (int row = 0; row < topLevelItemCount(); ++row)
        count += topLevelItem(row)->isSelected() ? 1 : 0;
    return count;
}

int CQtListCtrl::GetItemCount() const
{
    return topLevelItemCount();
}

bool CQtListCtrl::IsItemSelected(int row) const
{
    const QTreeWidgetItem* item = Row(row);
    return item && item->isSelected();
}

ItemData CQtListCtrl::GetItemData(int row) const
{
    const QTreeWidgetItem* item = Row(row);
    return item ? static_cast<ItemData>(item->data(0, kItemDataRole).toLongLong()) : 0;
}

void CQtListCtrl::SetRedraw(bool redraw)
{
    setUpdatesEnabled(redraw);
    if (redraw)
        viewport()->update();
}

void CQtListCtrl::DeleteAllItems()
{
    clear();
}

void CQtListCtrl::SetItemCount(int)
{
}

int CQtListCtrl::InsertItem(int row, const std::string& text, ItemData data)
{
    // The sorted list ignores the position asked for (as long as a row could
    // have it) and puts the row after every row whose text sorts before or
    // equal to the new one.
    if (row < 0)
        return -1;
    int low = 0, high = topLevelItemCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (CompareListText(BytesOf(topLevelItem(middle), 0), text) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    auto* item = new QTreeWidgetItem();
    SetCell(item, 0, text);
    item->setData(0, kItemDataRole, static_cast<qlonglong>(data));
    for (int column = 0; column < columnCount(); ++column)
        item->setTextAlignment(column, Qt::Alignment(headerItem()->textAlignment(column)));
    insertTopLevelItem(low, item);
    return low;
}

bool CQtListCtrl::SetItemText(int row, int column, const std::string& text)
{
    QTreeWidgetItem* item = Row(row);
    if (!item || column < 0 || column >= std::max(m_columns, 1))
        return false;
    SetCell(item, column, text);
    return true;
}

std::string CQtListCtrl::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = Row(row);
    return (item && column >= 0 && column < columnCount()) ? BytesOf(item, column) : std::string();
}

bool CQtListCtrl::GetColumn(int column, int* width) const
{
    if (column < 0 || column >= m_columns)
        return false;
    if (width)
        *width = columnWidth(column);
    return true;
}

int CQtListCtrl::GetStringWidth(const std::string& text) const
{
    return fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int CQtListCtrl::InsertColumn(int column, const std::string& title, int format, int width, int)
{
    if (column < 0 || width < 0)
        return -1;
    column = std::min(column, m_columns);
    // The Qt list starts with one column of its own, taken by the first
    // inserted column; any later one widens the list and moves the columns
    // at and after column one place to the right.
    QTreeWidgetItem* head = headerItem();
    if (m_columns > 0) {
        setColumnCount(m_columns + 1);
        for (int moved = m_columns; moved > column; --moved) {
            head->setText(moved, head->text(moved - 1));
            head->setTextAlignment(moved, Qt::Alignment(head->textAlignment(moved - 1)));
            setColumnWidth(moved, columnWidth(moved - 1));
            for (int row = 0; row < topLevelItemCount(); ++row) {
                QTreeWidgetItem* item = topLevelItem(row);
                SetCell(item, moved, BytesOf(item, moved - 1));
                SetCell(item, moved - 1, std::string());
            }
        }
    }
    ++m_columns;
    head->setText(column, QString::fromStdString(title));
    head->setTextAlignment(column, AlignmentOf(format));
    setColumnWidth(column, width);
    header()->setSectionResizeMode(column, QHeaderView::Interactive);
    return column;
}

void CQtListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (onClick)
        onClick();
}

void CQtListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (onDoubleClick)
        onDoubleClick();
}
