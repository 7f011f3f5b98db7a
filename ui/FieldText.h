#pragma once
// An edit field holding one of the configuration's texts. Texts are bytes;
// the field shows them as UTF-8. Get gives back the very bytes that Set put
// in while the field still shows them unchanged, so a text that is not
// valid UTF-8 (a configuration written elsewhere) survives a dialog that is
// confirmed without editing it; an edited text is the field's UTF-8.

#include <QLineEdit>

#include <string>

class FieldText {
public:
    FieldText() = default;
    explicit FieldText(QLineEdit* edit) : m_edit(edit) {}

    void Set(const std::string& text);
    std::string Get() const;
    bool IsEmpty() const { return m_edit->text().isEmpty(); }
    QLineEdit* edit() const { return m_edit; }

private:
    QLineEdit* m_edit = nullptr;
    std::string m_bytes;
    QString m_shown;
};
