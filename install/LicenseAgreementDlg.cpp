#include "install/LicenseAgreementDlg.h"

#include "install/SelfInstallMessageDlg.h"
#include "install/SelfInstallWindow.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/WaitCursor.h"
#include "platform/widgets/DialogUnits.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr const char* kCouldNotOpen = "The License Agreement could not be opened.";
constexpr const char* kQuestion =
    "Do you accept the all terms of the License Agreement?  If you choose \"No\", %s will close.  "
    "You must accept this License Agreement to use %s.";

QString FormatTitle(QString text, const QString& title)
{
    return text.replace(QStringLiteral("%s"), title);
}

QLabel* AddText(QDialog* dlg, const DialogBaseUnits& base, const QRect& du, const QString& text, int id)
{
    auto* label = new QLabel(text, dlg);
    label->setGeometry(MapDialogRect(du, base));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    if (id)
        label->setProperty("controlId", id);
    return label;
}

}  // namespace

CLicenseTextView::CLicenseTextView(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setProperty("controlId", 1006);
}

void CLicenseTextView::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    QTextCursor cursor = textCursor();
    cursor.setPosition(0);
    setTextCursor(cursor);
}

void FillDocument(QTextDocument& document, const RichText& text)
{
    document.clear();
    QTextCursor cursor(&document);
    for (std::size_t i = 0; i < text.paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        for (const RichTextRun& run : text.paragraphs[i].runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontPointSize(run.halfPoints / 2.0);
            cursor.insertText(QString::fromUtf8(run.text.data(), static_cast<int>(run.text.size())), format);
        }
    }
}

CSelfInstallLicenseAgreementDlg::CSelfInstallLicenseAgreementDlg(QWidget* parent, std::string fileName,
                                                                 IInstallerClock& clock)
    : QDialog(parent), m_strFileName(std::move(fileName))
{
    setProperty("windowClass", "CSelfInstallLicenseAgreementDlg");
    OnInitDialog(clock);
}

void CSelfInstallLicenseAgreementDlg::OnInitDialog(IInstallerClock& clock)
{
    setWindowTitle(QStringLiteral("License Agreement"));
    setModal(true);
    const DialogBaseUnits base = BaseUnitsOf(font());
    setFixedSize(MapDialogSize(QSize(294, 199), base));

    // "&No" comes first: the default button, so that Enter declines.
    m_no = new QPushButton(QStringLiteral("&No"), this);
    m_no->setGeometry(MapDialogRect(QRect(237, 178, 50, 14), base));
    m_no->setProperty("controlId", IDCANCEL);
    m_no->setDefault(true);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    m_yes = new QPushButton(QStringLiteral("&Yes"), this);
    m_yes->setGeometry(MapDialogRect(QRect(183, 178, 50, 14), base));
    m_yes->setProperty("controlId", IDOK);
    m_yes->setAutoDefault(false);
    connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);

    AddText(this, base, QRect(40, 7, 247, 24),
            QStringLiteral("Please read the following License Agreement.  Press the PAGE DOWN key to view the rest "
                           "of the agreement."),
            0);
    const QString title = QString::fromUtf8(kAppCaption);
    AddText(this, base, QRect(7, 154, 279, 24), FormatTitle(QString::fromUtf8(kQuestion), title), 1002);
    auto* icon = new QLabel(this);
    icon->setGeometry(MapDialogRect(QRect(7, 7, 21, 20), base));
    icon->setPixmap(InstallerIcon().pixmap(32, 32));

    m_wndRichEdit = new CLicenseTextView(this);
    m_wndRichEdit->setGeometry(MapDialogRect(QRect(7, 35, 280, 111), base));
    m_wndRichEdit->setFocusPolicy(Qt::StrongFocus);
    {
        CWaitCursor wait;
        CSelfInstallMessageDlg message("Opening License Agreement...", parentWidget(), clock);
        if (!StreamLicence())
            m_wndRichEdit->setPlainText(QString::fromUtf8(kCouldNotOpen));
    }
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    m_no->setFocus();
}

bool CSelfInstallLicenseAgreementDlg::StreamLicence()
{
    QFile file(QString::fromStdString(m_strFileName));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A read that fails part way keeps what came before it.
    const QByteArray bytes = file.readAll();
    FillDocument(*m_wndRichEdit->document(), ReadRichText(std::string_view(bytes.constData(), bytes.size())));
    return true;
}

bool ShowLicenseAgreement(QWidget* owner, const std::string& folder, IInstallerClock& clock)
{
    CSelfInstallLicenseAgreementDlg dlg(owner, folder + "License.rtf", clock);
    return dlg.exec() == QDialog::Rejected;
}
