#include "app/HelpWindow.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBrowser>

std::vector<HelpContentsEntry> ParseHelpContents(const QString& text)
{
    std::vector<HelpContentsEntry> entries;
    for (const QString& line : text.split('\n')) {
        if (line.startsWith(':'))
            continue;
        const int tab = line.indexOf('\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (ok)
            entries.push_back({id, line.mid(tab + 1).trimmed()});
    }
    return entries;
}

CHelpWindow::CHelpWindow(const QString& helpPath, QWidget* parent)
    : QWidget(parent, Qt::Window), m_list(new QListWidget(this)), m_text(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Tessarine Help"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 0);
    layout->addWidget(m_text, 1);
    QFile help(helpPath);
    QString cntPath = helpPath;
    cntPath.replace(cntPath.lastIndexOf('.'), 4, QStringLiteral(".cnt"));
    QFile cnt(cntPath);
    if (help.open(QIODevice::ReadOnly) && cnt.open(QIODevice::ReadOnly)) {
        m_text->setHtml(QString::fromUtf8(help.readAll()));
        m_contents = ParseHelpContents(QString::fromUtf8(cnt.readAll()));
        m_loaded = true;
    }
    for (const HelpContentsEntry& e : m_contents)
        m_list->addItem(e.title);
    // The contents as wide as their longest title, so no title is cut off.
    const int titles = m_list->sizeHintForColumn(0) + 2 * m_list->frameWidth() +
                       m_list->verticalScrollBar()->sizeHint().width() + 8;
    m_list->setFixedWidth(titles);
    resize(titles + 480, 480);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(m_contents.size()))
            ShowTopic(m_contents[row].contextId);
    });
}

bool CHelpWindow::ShowTopic(int contextId)
{
    for (size_t i = 0; i < m_contents.size(); ++i) {
        if (m_contents[i].contextId != contextId)
            continue;
        m_current = contextId;
        m_list->blockSignals(true);
        m_list->setCurrentRow(static_cast<int>(i));
        m_list->blockSignals(false);
        show();
        m_text->scrollToAnchor(QString::number(contextId));
        return true;
    }
    return false;
}

void CHelpWindow::ShowContents()
{
    show();
    m_list->setFocus();
}

void CHelpWindow::StartContextHelp(std::function<void(const QString&)> status)
{
    m_status = std::move(status);
    m_helpMode = true;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    if (m_status)
        m_status(QStringLiteral("Select an object on which to get Help"));
}

void CHelpWindow::EndContextHelp()
{
    if (!m_helpMode)
        return;
    m_helpMode = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (m_status)
        m_status(QString());
}

int CHelpWindow::HelpIdOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        bool ok = false;
        const int id = w->property("helpId").toInt(&ok);
        if (ok && id != 0)
            return id;
    }
    return 0;
}

bool CHelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_helpMode || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        EndContextHelp();
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    // A menu opens as usual; the command chosen in it asks for its topic.
    if (qobject_cast<QMenuBar*>(widget) || qobject_cast<QMenu*>(widget))
        return QWidget::eventFilter(watched, event);
    EndContextHelp();
    // The clicked control, or the nearest window around it that has a topic.
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const int id = HelpIdOf(w); id != 0 && ShowTopic(id))
            break;
    return true;  // the click is for help, not for the control
}
