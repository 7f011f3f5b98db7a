#pragma once
// A one-line label for texts that may be longer than the label: a long text
// is shortened in the middle ("/home/anna/…/index.html") so that its start
// and its end stay visible, and the whole text is the label's tooltip. The
// label never wraps and never grows with its text; its width is set by its
// owner.

#include <QLabel>
#include <QString>

class CElidedLabel : public QLabel {
public:
    explicit CElidedLabel(QWidget* parent = nullptr);

    // The whole text; what shows is shortened to the label's width.
    void SetFullText(const QString& text);
    const QString& FullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowFitted();

    QString m_fullText;
};
