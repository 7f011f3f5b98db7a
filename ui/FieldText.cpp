#include "ui/FieldText.h"

void FieldText::Set(const std::string& text)
{
    m_bytes = text;
    m_shown = QString::fromStdString(text);
    m_edit->setText(m_shown);
}

std::string FieldText::Get() const
{
    const QString now = m_edit->text();
    return now == m_shown ? m_bytes : now.toStdString();
}
