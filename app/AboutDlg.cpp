#include "app/AboutDlg.h"

#include "app/Resource.h"
#include "app/ResourcePictures.h"
#include "platform/widgets/DialogUnits.h"
#include "res/VersionText.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* AddLabel(QDialog* dlg, const DialogBaseUnits& base, const QRect& du, const QString& text, int id)
{
    auto* label = new QLabel(text, dlg);
    label->setGeometry(MapDialogRect(du, base));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(du.height() > 10);
    if (id)
        label->setProperty("controlId", id);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    OnInitDialog();
}

bool CAboutDlg::OnInitDialog()
{
    setWindowTitle(QStringLiteral("About Tessarine"));
    // F1 here shows the About command's topic.
    setProperty("helpId", static_cast<int>(res::ID_APP_ABOUT));
    setModal(true);
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(MapDialogSize(QSize(260, 185), base));

    auto* icon = new QLabel(this);
    const QRect iconRect = MapDialogRect(QRect(7, 7, 21, 20), base);
    icon->setGeometry(iconRect);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_title = AddLabel(this, base, QRect(40, 7, 119, 10), QString::fromUtf8("Tessarine\u2122"), 1000);
    m_title->setTextFormat(Qt::PlainText);
    m_version = AddLabel(this, base, QRect(40, 17, 121, 8),
                         QStringLiteral("Version ") + QString::fromStdString(GetVersionText()), 1007);
    AddLabel(this, base, QRect(40, 33, 213, 16),
             QStringLiteral("Copyright \u00a9 the Tessarine developers.\nTessarine is free to use, copy and change."), 0);
    AddLabel(this, base, QRect(40, 129, 213, 48),
             QStringLiteral("Home page: https://tessarine.example.org/\n"
                            "Questions and reports: tessarine@example.org"),
             0);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(MapDialogRect(QRect(221, 7, 32, 14), base));
    ok->setDefault(true);
    ok->setProperty("controlId", 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // The title's cell fills its control: the font is as tall as the label.
    m_fontTitle = QFont(QStringLiteral("Arial"));
    m_fontTitle.setStyleHint(QFont::SansSerif);
    m_fontTitle.setPixelSize(m_title->height());
    m_fontTitle.setWeight(QFont::Bold);
    m_title->setFont(m_fontTitle);
    ok->setFocus();
    return true;
}
