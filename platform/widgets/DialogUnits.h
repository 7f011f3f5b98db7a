#pragma once
// Dialog units: a dialog's layout measure, derived from its font the way
// the platform derives it. The horizontal base unit is the average width
// of the 52 letters A-Z and a-z, rounded ((width / 26 + 1) / 2); the
// vertical base unit is the font's line height. A horizontal dialog unit
// is a quarter of the horizontal base unit, a vertical one an eighth of
// the vertical base unit.

#include <QFont>
#include <QRect>
#include <QSize>

struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The base units of font (the dialog font; QApplication::font() when a
// window has no font of its own).
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Pixels of du dialog units, divisions truncated toward zero.
int DialogUnitsToPixelsX(int du, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int du, const DialogBaseUnits& base);

// A rectangle in dialog units mapped to pixels, corner by corner.
QRect MapDialogRect(const QRect& dialogUnits, const DialogBaseUnits& base);
QSize MapDialogSize(const QSize& dialogUnits, const DialogBaseUnits& base);
