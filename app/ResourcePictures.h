#pragma once
// The program's pictures, drawn by the program itself: the toolbar strip,
// the program icon, the advertisement banner and the pointing-hand cursor.
// Need a QGuiApplication.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// Toolbar buttons in strip order.
enum class ToolbarImage { New, Open, Save, Upload, About, HelpTopics, ContextHelp, Count };

constexpr int kToolbarButtonWidth = 16;
constexpr int kToolbarButtonHeight = 15;

// The strip: one 16 x 15 picture per ToolbarImage, left to right.
QPixmap ToolbarBitmap();
// One button's picture cut from the strip.
QPixmap ToolbarButtonPixmap(ToolbarImage image);
// The program icon (resource 128), at 16, 32 and 48 pixels.
QIcon ProgramIcon();
// Bitmap 133: the 220 x 27 advertisement banner.
QPixmap AdvertisementBanner();
// Cursor 630: the 32 x 32 pointing hand, hot spot at column 7, row 0.
QCursor HandCursor();
// A bitmap by resource id (133 only); a null pixmap for any other id.
QPixmap LoadBitmapResource(unsigned int id);
