#include "platform/widgets/QtMessageBoxHandler.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {

QPointer<QWidget> g_owner;

// A box narrower than the text's longest word lets Qt break that word at
// its colons or slashes; a certificate fingerprint or a path reads (and
// compares) better whole, so the text gets at least that width, as far as
// the screen allows.
void KeepWordsWhole(QMessageBox& box)
{
    QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    int widest = 0;
    for (const QString& word : label->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(word));
    const QScreen* screen = box.screen();
    // The icon and the box's margins take the rest.
    const int limit = screen ? screen->availableGeometry().width() - 150 : widest;
    // A character to spare, for the layout's rounding.
    label->setMinimumWidth(std::min(widest + label->fontMetrics().averageCharWidth(), limit));
}

}  // namespace

QWidget* QtMessageBoxHandler::SetOwner(QWidget* owner)
{
    QWidget* previous = g_owner;
    g_owner = owner;
    return previous;
}

QWidget* QtMessageBoxHandler::Owner()
{
    return g_owner;
}

QMessageBox::Icon QtMessageBoxHandler::IconFor(unsigned int style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons QtMessageBoxHandler::ButtonsFor(unsigned int style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::StandardButton QtMessageBoxHandler::DefaultButtonFor(unsigned int style)
{
    const bool second = (style & MB_DEFBUTTON2) != 0;
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return second ? QMessageBox::Cancel : QMessageBox::Ok;
    case MB_YESNOCANCEL:
    case MB_YESNO: return second ? QMessageBox::No : QMessageBox::Yes;
    default: return QMessageBox::Ok;
    }
}

int QtMessageBoxHandler::IdFor(QMessageBox::StandardButton button, unsigned int style)
{
    switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return SafeMessageBoxAnswer(style);
    }
}

int QtMessageBoxHandler::Show(const std::string& caption, const std::string& text, unsigned int style)
{
    QMessageBox box(IconFor(style), QString::fromStdString(caption), QString::fromStdString(text),
                    ButtonsFor(style), g_owner ? g_owner.data() : QApplication::activeWindow());
    box.setDefaultButton(DefaultButtonFor(style));
    KeepWordsWhole(box);
    box.exec();
    return IdFor(box.standardButton(box.clickedButton()), style);
}
