#include "app/BitmapLink.h"

#include "app/ResourcePictures.h"
#include "common/DocumentLauncher.h"
#include "platform/widgets/DialogUnits.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

#include <cmath>

namespace {

QRect ToQRect(const LinkRect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

QWidget* FindControl(QWidget* parent, int id)
{
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

}  // namespace

QEvent::Type LinkCommandEvent::EventType()
{
    static const int type = QEvent::registerEventType();
    return static_cast<QEvent::Type>(type);
}

QFont CBitmapLink::MakeCaptionFont(int dpiY)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    // A 7-point character height, rounded to the nearest pixel.
    font.setPixelSize(static_cast<int>(std::lround(70.0 * dpiY / 720.0)));
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    return font;
}

QColor CBitmapLink::CaptionColor(const QPalette& palette)
{
    const QColor blue(0, 0, 255);
    if (palette.color(QPalette::Button).rgb() == blue.rgb())
        return palette.color(QPalette::ButtonText);
    return blue;
}

bool CBitmapLink::Create(QWidget* parent, int id, const BitmapLinkInfo& info)
{
    m_strCaption = info.caption;
    m_strTooltip = info.tooltip;
    m_strTarget = info.target;
    m_bitmap = LoadBitmapResource(info.bitmapId & 0xFFFF);
    if (m_bitmap.isNull() || !parent)
        return false;
    m_id = id;
    const int dpiY = parent->screen() ? static_cast<int>(parent->screen()->logicalDotsPerInchY()) : 96;
    m_font = MakeCaptionFont(dpiY);
    const QFontMetrics metrics(m_font);
    const QString caption = QString::fromStdString(m_strCaption);

    LinkGeometryInput in;
    in.bitmapWidth = m_bitmap.width();
    in.bitmapHeight = m_bitmap.height();
    in.captionEmpty = caption.isEmpty();
    in.captionWidth = caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption);
    in.captionHeight = metrics.height();
    in.parentWidth = parent->frameGeometry().width();
    in.parentHeight = parent->frameGeometry().height();
    if (QWidget* anchor = FindControl(parent, id)) {
        const QRect a = anchor->geometry();
        in.hasAnchor = true;
        in.anchor = {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
        if (qobject_cast<QDialog*>(parent))
            in.gap = DialogUnitsToPixelsY(8, BaseUnitsOf(parent->font()));
    }
    const LinkGeometry g = ComputeLinkGeometry(in);
    if (g.resizeParent)
        parent->resize(g.parentWidth, g.parentHeight);

    setParent(parent);
    setProperty("controlId", id);
    setGeometry(ToQRect(g.window));
    m_rectBitmap = ToQRect(g.bitmap);
    m_rectCaption = ToQRect(g.caption);
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    show();
    return true;
}

bool CBitmapLink::Hit(const QPoint& p) const
{
    return m_rectBitmap.contains(p) || m_rectCaption.contains(p);
}

void CBitmapLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(m_rectBitmap.topLeft(), m_bitmap);
    if (!m_strCaption.empty()) {
        painter.setFont(m_font);
        painter.setPen(CaptionColor(palette()));
        painter.drawText(m_rectCaption, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdString(m_strCaption));
    }
}

void CBitmapLink::mouseMoveEvent(QMouseEvent* event)
{
    if (Hit(event->position().toPoint()))
        setCursor(HandCursor());
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void CBitmapLink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !Hit(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Posted, not sent: the parent sees the command after the launch, as a
    // posted message would arrive.
    QCoreApplication::postEvent(parentWidget(), new LinkCommandEvent(m_id, this));
    (void)LaunchDocument(m_strTarget);
}

bool CBitmapLink::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (m_rectBitmap.contains(help->pos()))
            QToolTip::showText(help->globalPos(), QString::fromStdString(m_strTooltip), this, m_rectBitmap);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
