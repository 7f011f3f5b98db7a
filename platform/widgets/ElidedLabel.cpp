#include "platform/widgets/ElidedLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

CElidedLabel::CElidedLabel(QWidget* parent) : QLabel(parent)
{
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    // Ampersands and angle brackets in paths are shown as they are.
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void CElidedLabel::SetFullText(const QString& text)
{
    m_fullText = text;
    setToolTip(text);
    ShowFitted();
}

void CElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    ShowFitted();
}

void CElidedLabel::ShowFitted()
{
    const int room = contentsRect().width();
    QLabel::setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, room));
}
