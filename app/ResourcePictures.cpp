#include "app/ResourcePictures.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kTeal(0, 128, 128);
const QColor kNavy(0, 0, 128);
const QColor kYellow(255, 255, 0);

void DrawPage(QPainter& p, int x)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygon({{x + 3, 1}, {x + 10, 1}, {x + 13, 4}, {x + 13, 13}, {x + 3, 13}}));
    p.drawLine(x + 10, 1, x + 10, 4);
    p.drawLine(x + 10, 4, x + 13, 4);
}

void DrawFolder(QPainter& p, int x)
{
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawRect(x + 1, 4, 12, 8);
    p.drawRect(x + 1, 2, 5, 2);
}

void DrawDisk(QPainter& p, int x)
{
    p.setPen(kInk);
    p.setBrush(kNavy);
    p.drawRect(x + 1, 1, 13, 12);
    p.setBrush(kPaper);
    p.drawRect(x + 4, 2, 7, 4);
    p.fillRect(x + 5, 9, 5, 4, QColor(192, 192, 192));
}

void DrawUpArrow(QPainter& p, int x)
{
    p.setPen(kInk);
    p.setBrush(QColor(0, 160, 0));
    p.drawPolygon(QPolygon({{x + 8, 1}, {x + 14, 7}, {x + 10, 7}, {x + 10, 13}, {x + 6, 13}, {x + 6, 7}, {x + 2, 7}}));
}

void DrawLetter(QPainter& p, int x, const QString& letter, const QColor& fill)
{
    p.setPen(kInk);
    p.setBrush(fill);
    p.drawEllipse(x + 1, 0, 13, 13);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(QRect(x + 1, 0, 14, 14), Qt::AlignCenter, letter);
}

void DrawArrowPointer(QPainter& p, int x, int y, double scale)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x, y + 10 * scale);
    path.lineTo(x + 3 * scale, y + 7 * scale);
    path.lineTo(x + 7 * scale, y + 7 * scale);
    path.closeSubpath();
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPath(path);
}

}  // namespace

QPixmap ToolbarBitmap()
{
    const int count = static_cast<int>(ToolbarImage::Count);
    QPixmap strip(kToolbarButtonWidth * count, kToolbarButtonHeight);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < count; ++i) {
        const int x = i * kToolbarButtonWidth;
        switch (static_cast<ToolbarImage>(i)) {
        case ToolbarImage::New: DrawPage(p, x); break;
        case ToolbarImage::Open: DrawFolder(p, x); break;
        case ToolbarImage::Save: DrawDisk(p, x); break;
        case ToolbarImage::Upload: DrawUpArrow(p, x); break;
        case ToolbarImage::About: DrawLetter(p, x, QStringLiteral("i"), kNavy); break;
        case ToolbarImage::HelpTopics: DrawLetter(p, x, QStringLiteral("?"), kTeal); break;
        case ToolbarImage::ContextHelp:
            DrawArrowPointer(p, x + 1, 1, 1.0);
            p.setPen(kNavy);
            p.drawText(QRect(x + 7, 3, 9, 12), Qt::AlignCenter, QStringLiteral("?"));
            break;
        case ToolbarImage::Count: break;
        }
    }
    return strip;
}

QPixmap ToolbarButtonPixmap(ToolbarImage image)
{
    return ToolbarBitmap().copy(static_cast<int>(image) * kToolbarButtonWidth, 0, kToolbarButtonWidth,
                                kToolbarButtonHeight);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double s = size / 16.0;
        // A tile of four squares (the tessera) with an upward arrow.
        const QColor colours[] = {kTeal, kNavy, QColor(0, 160, 0), QColor(220, 140, 0)};
        for (int i = 0; i < 4; ++i)
            p.fillRect(QRectF((i % 2) * 8 * s, (i / 2) * 8 * s, 7.5 * s, 7.5 * s), colours[i]);
        p.setPen(QPen(kPaper, 1.5 * s));
        p.drawLine(QPointF(8 * s, 3 * s), QPointF(8 * s, 13 * s));
        p.drawLine(QPointF(8 * s, 3 * s), QPointF(5 * s, 6 * s));
        p.drawLine(QPointF(8 * s, 3 * s), QPointF(11 * s, 6 * s));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap AdvertisementBanner()
{
    QPixmap banner(220, 27);
    QPainter p(&banner);
    QLinearGradient gradient(0, 0, 220, 0);
    gradient.setColorAt(0, kNavy);
    gradient.setColorAt(1, kTeal);
    p.fillRect(banner.rect(), gradient);
    p.drawPixmap(QRect(4, 3, 21, 21), ProgramIcon().pixmap(48, 48));
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kYellow);
    p.drawText(QRect(30, 0, 186, 27), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Your web site, up to date"));
    p.setPen(kPaper);
    p.drawRect(0, 0, 219, 26);
    return banner;
}

QCursor HandCursor()
{
    QPixmap hand(32, 32);
    hand.fill(Qt::transparent);
    QPainter p(&hand);
    p.setPen(kInk);
    p.setBrush(kPaper);
    // The index finger points up from column 7, row 0 (the hot spot).
    QPainterPath path;
    path.moveTo(5, 2);
    path.arcTo(5, 0, 5, 4, 180, -180);
    path.lineTo(10, 10);
    path.lineTo(19, 11);
    path.lineTo(21, 13);
    path.lineTo(21, 22);
    path.lineTo(18, 27);
    path.lineTo(8, 27);
    path.lineTo(1, 16);
    path.lineTo(2, 14);
    path.lineTo(5, 16);
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(13, 11, 13, 15);
    p.drawLine(17, 11, 17, 15);
    p.end();
    return QCursor(hand, 7, 0);
}

QPixmap LoadBitmapResource(unsigned int id)
{
    if ((id & 0xFFFF) == 133)
        return AdvertisementBanner();
    return QPixmap();
}
