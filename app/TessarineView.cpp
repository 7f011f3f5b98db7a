#include "app/TessarineView.h"

#include <QFontMetrics>

namespace {

constexpr int kFormWidthDlu = 200;
constexpr int kFormHeightDlu = 140;

}  // namespace

CTessarineView::CTessarineView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(FormSize(*this));
}

QSize CTessarineView::FormSize(const QWidget& widget)
{
    // Dialog base units of the widget's font: the average width of the
    // letters and the line height.
    const QFontMetrics metrics(widget.font());
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int baseX = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    const int baseY = metrics.height();
    return {kFormWidthDlu * baseX / 4, kFormHeightDlu * baseY / 8};
}

void CTessarineView::OnUpdate(CView*, long, CObject*)
{
    update();
}
