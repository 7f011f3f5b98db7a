#include "install/SelfInstallWindow.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace {

const QColor kPurple(128, 0, 128);

QPixmap DrawInstallerIcon(int size)
{
    // A purple box with a white arrow going into it.
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 16.0;
    painter.setPen(QPen(Qt::black, unit * 0.8));
    painter.setBrush(kPurple);
    painter.drawRect(QRectF(2 * unit, 8 * unit, 12 * unit, 7 * unit));
    QPainterPath arrow;
    arrow.moveTo(6.5 * unit, 1 * unit);
    arrow.lineTo(9.5 * unit, 1 * unit);
    arrow.lineTo(9.5 * unit, 6 * unit);
    arrow.lineTo(12 * unit, 6 * unit);
    arrow.lineTo(8 * unit, 11 * unit);
    arrow.lineTo(4 * unit, 6 * unit);
    arrow.lineTo(6.5 * unit, 6 * unit);
    arrow.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return picture;
}

}  // namespace

QIcon InstallerIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addPixmap(DrawInstallerIcon(size));
    return icon;
}

CSelfInstallWindow::CSelfInstallWindow(std::string title) : QWidget(nullptr, Qt::Window), m_strTitle(std::move(title))
{
    setProperty("windowClass", "CSelfInstallWindow");
    setWindowIcon(InstallerIcon());
    setWindowTitle(QString());
    setCursor(Qt::ArrowCursor);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kPurple);
    setPalette(palette);
    setAutoFillBackground(true);
    // The platform's default place and size: most of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        setGeometry(available.adjusted(available.width() / 8, available.height() / 8, -available.width() / 8,
                                       -available.height() / 8));
    } else {
        resize(640, 480);
    }
}

void CSelfInstallWindow::ShowWithCaption(int showCommand, const std::string& word)
{
    m_strCaption = m_strTitle + " " + word;
    setWindowTitle(QString::fromStdString(m_strCaption));
    setVisible(showCommand != SW_HIDE);
    repaint();
}

void CSelfInstallWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSize(28);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    const QString caption = QString::fromStdString(m_strCaption);
    // Text is placed by its top-left corner, as the platform places it.
    painter.setPen(Qt::black);
    painter.drawText(blank + 2, blank + 2 + metrics.ascent(), caption);
    painter.setPen(Qt::white);
    painter.drawText(blank, blank + metrics.ascent(), caption);
}
