#include "platform/widgets/DialogUnits.h"

#include <QFontMetrics>

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

int DialogUnitsToPixelsX(int du, const DialogBaseUnits& base)
{
    return du * base.x / 4;
}

int DialogUnitsToPixelsY(int du, const DialogBaseUnits& base)
{
    return du * base.y / 8;
}

QRect MapDialogRect(const QRect& dialogUnits, const DialogBaseUnits& base)
{
    // Corners, not sizes, are mapped, as the platform does: the size of a
    // mapped rectangle depends on where it starts.
    const int left = DialogUnitsToPixelsX(dialogUnits.left(), base);
    const int top = DialogUnitsToPixelsY(dialogUnits.top(), base);
    const int right = DialogUnitsToPixelsX(dialogUnits.left() + dialogUnits.width(), base);
    const int bottom = DialogUnitsToPixelsY(dialogUnits.top() + dialogUnits.height(), base);
    return QRect(left, top, right - left, bottom - top);
}

QSize MapDialogSize(const QSize& dialogUnits, const DialogBaseUnits& base)
{
    return QSize(DialogUnitsToPixelsX(dialogUnits.width(), base), DialogUnitsToPixelsY(dialogUnits.height(), base));
}
