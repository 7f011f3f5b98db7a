// Upload from the main window against a real server: the progress dialog
// over the window, the window taking no input during the run and all of it
// again afterwards, questions answered while the dialog is up, Cancel, a
// request to end during the run, and over TLS the certificate question and
// the hint for a plain server that offers TLS.

#include "app/MainFrame.h"
#include "app/Resource.h"
#include "app/TerminationWatcher.h"
#include "common/CertificatePins.h"
#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/widgets/ElidedLabel.h"
#include "platform/widgets/QtMessageBoxHandler.h"
#include "tests/app/AppTestSupport.h"
#include "tests/servers/TestServers.h"
#include "tests/servers/TlsServers.h"
#include "tests/support/TempDir.h"
#include "upload/QtUploadUi.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>

using test::StartedApp;
using namespace res;

namespace {

// Clicks through the window system, as a user's click comes: a window
// blocked by a modal one never sees it.
void UserClick(QWidget& widget)
{
    QWidget* window = widget.window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget.mapTo(window, widget.rect().center()));
}

// Whether a user's click on the status bar reaches the frame.
bool TakesInput(CMainFrame& frame)
{
    struct Counter : QObject {
        QWidget* frame;
        int presses = 0;
        explicit Counter(QWidget* f) : frame(f) {}
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::MouseButtonPress && o->isWidgetType() &&
                static_cast<QWidget*>(o)->window() == frame)
                ++presses;
            return false;
        }
    } counter(&frame);
    qApp->installEventFilter(&counter);
    UserClick(*frame.statusBar());
    qApp->removeEventFilter(&counter);
    return counter.presses > 0;
}

// What the progress dialog showed during the run: called when it appears
// and at every new bar value.
struct DialogWatch : QObject {
    std::function<void(CUploadProgressDlg&)> onShow;
    std::function<void(CUploadProgressDlg&, int)> onBar;
    DialogWatch() { qApp->installEventFilter(this); }
    ~DialogWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* dialog = dynamic_cast<CUploadProgressDlg*>(o);
        if (dialog && e->type() == QEvent::Show) {
            QObject::connect(dialog->ProgressBar(), &QProgressBar::valueChanged, dialog,
                             [this, dialog](int value) {
                                 if (onBar)
                                     onBar(*dialog, value);
                             });
            if (onShow)
                onShow(*dialog);
        }
        return false;
    }
};

// Real message boxes while it lives (not the scripted ones), each answered
// by a user's click on the next button of the script (Ok or Yes once the
// script has run out). Records what each box showed.
class ClickedBoxes : public QObject {
public:
    struct Asked {
        std::string text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        bool dialogUp;  // the progress dialog was visible under it
    };
    std::vector<Asked> asked;
    // Called with each box once it is laid out, before the click.
    std::function<void(QMessageBox&)> beforeClick;

    ClickedBoxes(CMainFrame& frame, std::deque<QMessageBox::StandardButton> clicks)
        : m_frame(frame), m_clicks(std::move(clicks)), m_scripted(SetMessageBoxHandler(&m_real))
    {
        qApp->installEventFilter(this);
    }
    ~ClickedBoxes() override
    {
        qApp->removeEventFilter(this);
        SetMessageBoxHandler(m_scripted);
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const Asked& a : asked)
            result.push_back(a.text);
        return result;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* box = qobject_cast<QMessageBox*>(o);
        if (!box || e->type() != QEvent::Show)
            return false;
        const CQtUploadUi& ui = m_frame.UploadUi();
        asked.push_back({box->text().toStdString(), box->icon(), box->standardButtons(),
                         box->standardButton(box->defaultButton()), ui.IsRunning() && ui.Dialog()->isVisible()});
        QMessageBox::StandardButton click = QMessageBox::NoButton;
        if (!m_clicks.empty()) {
            click = m_clicks.front();
            m_clicks.pop_front();
        }
        QTimer::singleShot(0, box, [this, box, click] {
            if (beforeClick)
                beforeClick(*box);
            QAbstractButton* button = box->button(click);
            if (!button)
                button = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes) : box->button(QMessageBox::Ok);
            UserClick(*button);
        });
        return false;
    }

private:
    CMainFrame& m_frame;
    std::deque<QMessageBox::StandardButton> m_clicks;
    QtMessageBoxHandler m_real;
    IMessageBoxHandler* m_scripted;
};

class UploadFromWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new test::PyFtpdServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        test::ForgetRegistration();
        for (const auto& entry : std::filesystem::directory_iterator(server->Root()))
            std::filesystem::remove_all(entry.path());
    }
    void TearDown() override { test::ForgetRegistration(); }

    std::string LocalFile(const std::string& name, std::size_t bytes)
    {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
        return path;
    }
    // site.tsn with the servers (password "" means the right one) and files.
    std::string Configuration(const std::vector<std::string>& passwords, const std::vector<std::string>& files)
    {
        CTessarineDoc doc;
        int n = 0;
        for (const std::string& password : passwords)
            doc.AddServer(server->Address(), server->User(), password.empty() ? server->Password() : password,
                          "site" + std::to_string(n++));
        for (const std::string& file : files)
            doc.AddFile(file, "www", 0);
        const std::string path = dir.file("site.tsn");
        EXPECT_TRUE(SaveDocumentFile(doc, path));
        return path;
    }
    static CTessarineDoc& Doc(StartedApp& started)
    {
        return *static_cast<CTessarineDoc*>(started.app->GetDocument());
    }
    static bool Arrived(const std::string& remote)
    {
        return std::filesystem::exists(server->Root() / remote);
    }
    static void Activate(CMainFrame& frame)
    {
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    }

    static test::PyFtpdServer* server;
    test::TempDir dir;
};

test::PyFtpdServer* UploadFromWindowTest::server = nullptr;

}  // namespace

TEST_F(UploadFromWindowTest, EachWayToUploadShowsTheDialogOverAWindowThatTakesInputOnlyAfterwards)
{
    const std::string small = LocalFile("index.html", 3000);
    const std::string big = LocalFile("movie.bin", 20000);
    struct Row {
        const char* name;
        std::function<void(CMainFrame&)> start;
        std::string wrongPassword;  // empty: the right one
        bool cancelAtTwo;
        std::vector<std::string> messages;
        bool bigArrives;
    };
    const Row rows[] = {
        {"File menu, complete",
         [](CMainFrame& f) { f.CommandAction(ID_FILE_UPLOAD)->trigger(); }, "", false, {"Upload complete."}, true},
        {"Ctrl+U, Cancel when the bar reaches 2",
         [](CMainFrame& f) { QTest::keyClick(f.windowHandle(), Qt::Key_U, Qt::ControlModifier); }, "", true, {},
         false},
        {"toolbar button, the login fails",
         [](CMainFrame& f) {
             UserClick(*f.findChild<QToolBar*>()->widgetForAction(f.CommandAction(ID_FILE_UPLOAD)));
         },
         "wrong", false, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        StartedApp started({Configuration({row.wrongPassword}, {small, big})}, {IDOK});
        CMainFrame& frame = *started.frame();
        Activate(frame);
        ASSERT_TRUE(TakesInput(frame));

        DialogWatch watch;
        bool shown = false, blocked = false;
        std::vector<int> bar;
        std::vector<std::string> filesShown, destinations;
        std::string serverShown;
        watch.onShow = [&](CUploadProgressDlg& dialog) {
            shown = true;
            EXPECT_EQ(dialog.parentWidget(), &frame);
            // Looked at from the run's first pump, once the dialog is up.
            QTimer::singleShot(0, &dialog, [&] { blocked = !TakesInput(frame); });
        };
        watch.onBar = [&](CUploadProgressDlg& dialog, int value) {
            bar.push_back(value);
            filesShown.push_back(dialog.FileLabel()->FullText().toStdString());
            destinations.push_back(dialog.DestinationLabel()->FullText().toStdString());
            serverShown = dialog.ServerLabel()->FullText().toStdString();
            if (value == 10 && filesShown.back() == big)
                test::SaveScreenshot(dialog, "upload-progress");
            if (row.cancelAtTwo && value == 2 && filesShown.back() == big)
                UserClick(*dialog.CancelButton());
        };
        row.start(frame);

        EXPECT_TRUE(shown);
        EXPECT_TRUE(blocked) << "the window took input during the run";
        EXPECT_FALSE(frame.UploadUi().IsRunning());
        EXPECT_TRUE(TakesInput(frame)) << "the window takes input again";
        const std::vector<std::string> texts = started.box.texts();
        if (row.wrongPassword.empty()) {
            EXPECT_EQ(texts, row.messages);
            EXPECT_EQ(serverShown, server->Address());
            EXPECT_TRUE(Arrived("site0/www/index.html"));
            EXPECT_NE(std::find(filesShown.begin(), filesShown.end(), small), filesShown.end());
            EXPECT_NE(std::find(destinations.begin(), destinations.end(), "site0/www/movie.bin"), destinations.end());
        } else {
            ASSERT_EQ(started.box.shown().size(), 1u);
            EXPECT_EQ(started.box.shown()[0].style, static_cast<unsigned>(MB_ICONEXCLAMATION));
            EXPECT_TRUE(bar.empty());
        }
        EXPECT_EQ(Arrived("site0/www/movie.bin"), row.bigArrives);
        if (row.cancelAtTwo) {
            ASSERT_FALSE(bar.empty());
            EXPECT_EQ(bar.back(), 2) << "no block was sent after Cancel";
        } else if (row.bigArrives) {
            // The bar moved block by block over the big file: 0, 1, ... 20.
            EXPECT_EQ(bar.back(), 20);
            EXPECT_GE(bar.size(), 20u);
        }
        EXPECT_TRUE(Doc(started).IsModified()) << "every run marks the configuration modified";
        Doc(started).SetModifiedFlag(false);
    }
}

TEST_F(UploadFromWindowTest, TheRunsQuestionsAreAnsweredWhileTheDialogIsUp)
{
    const std::string missing = dir.file("gone.html");
    const std::string present = LocalFile("index.html", 1500);
    StartedApp started({Configuration({""}, {missing, present})});
    CMainFrame& frame = *started.frame();
    Activate(frame);
    // Real message boxes, answered by a user's click.
    std::vector<ClickedBoxes::Asked> asked;
    {
        ClickedBoxes boxes(frame, {});
        frame.SendCommand(ID_FILE_UPLOAD);
        asked = boxes.asked;
    }

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, missing + "\nError opening file.\n\nDo you want to continue uploading files?");
    EXPECT_TRUE(asked[0].dialogUp);
    EXPECT_EQ(asked[1].text, "Upload complete.");
    EXPECT_TRUE(Arrived("site0/www/index.html")) << "Yes went on with the next file";
    EXPECT_TRUE(TakesInput(frame));
    // The last box and the dialog gone, the keyboard is the window's again.
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &frame);
}

TEST_F(UploadFromWindowTest, ARequestToEndDuringTheRunStopsItAndThenClosesTheNormalWay)
{
    struct Row {
        const char* name;
        std::function<void()> request;
    };
    const Row rows[] = {
        {"SIGTERM", [] { raise(SIGTERM); }},
        {"the application's quit", [] { QCoreApplication::quit(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        const std::string small = LocalFile("index.html", 100);
        const std::string big = LocalFile("movie.bin", 20000);
        const std::string site = Configuration({""}, {small, big});
        StartedApp started({site}, {IDYES});
        CMainFrame& frame = *started.frame();
        Activate(frame);
        CTerminationWatcher watcher([&] { frame.close(); });
        DialogWatch watch;
        int lastBar = -1;
        watch.onBar = [&](CUploadProgressDlg& dialog, int value) {
            lastBar = value;
            if (value == 2 && dialog.FileLabel()->FullText().toStdString() == big)
                row.request();
        };
        std::vector<std::string> afterRun;
        QTimer::singleShot(0, &frame, [&] {
            frame.SendCommand(ID_FILE_UPLOAD);
            afterRun = started.box.texts();
        });
        // The program's own loop: it ends when the main window has closed.
        QTimer safety;
        safety.callOnTimeout([] { QCoreApplication::exit(1); });
        safety.start(30000);
        EXPECT_EQ(QApplication::exec(), 0) << "the window never closed";
        EXPECT_EQ(lastBar, 2) << "the run stopped at its next look";
        EXPECT_TRUE(afterRun.empty()) << "no \"Upload complete.\" for a stopped run";
        EXPECT_FALSE(frame.isVisible());
        EXPECT_EQ(started.box.texts(), std::vector<std::string>{"Save changes to site.tsn?"});
        // Yes saved what the run recorded: the small file was sent, the big one not.
        CTessarineDoc reread;
        ASSERT_EQ(OpenDocumentFile(reread, site), OpenOutcome::opened);
        ASSERT_EQ(reread.m_files.size(), 2u);
        for (const FileEntry& file : reread.m_files)
            EXPECT_EQ(file.m_timeLocal.GetTime() != 0, file.m_strFileName == small) << file.m_strFileName;
        EXPECT_TRUE(Arrived("site0/www/index.html"));
        EXPECT_FALSE(Arrived("site0/www/movie.bin"));
    }
}

namespace {

// A site of one file for each server name (folders site0, site1, ...).
std::string SiteFor(test::TempDir& dir, const std::vector<std::string>& serverNames, const std::string& user,
                    const std::string& password, const std::string& baseFolder)
{
    const std::string local = dir.file("index.html");
    std::ofstream(local, std::ios::binary) << "<p>over TLS</p>";
    CTessarineDoc doc;
    int n = 0;
    for (const std::string& name : serverNames)
        doc.AddServer(name, user, password, baseFolder + "site" + std::to_string(n++));
    doc.AddFile(local, "", 0);
    const std::string path = dir.file("site.tsn");
    EXPECT_TRUE(SaveDocumentFile(doc, path));
    return path;
}

// One upload from the window of a started application, its boxes clicked.
std::vector<ClickedBoxes::Asked> UploadClicking(CMainFrame& frame, std::deque<QMessageBox::StandardButton> clicks,
                                                std::function<void(QMessageBox&)> beforeClick = {})
{
    ClickedBoxes boxes(frame, std::move(clicks));
    boxes.beforeClick = std::move(beforeClick);
    frame.SendCommand(ID_FILE_UPLOAD);
    return boxes.asked;
}

}  // namespace

// pyftpdlib with explicit TLS and a certificate of the test's own (not in
// the trust store): the question, what Yes and No do, the pin it leaves and
// a pin for another certificate. Two servers (the same one twice), so that
// a No meets the remaining-sites question.
TEST(TlsFromWindow, TheCertificateQuestionPinsAYesAndANoTakesTheServerErrorPath)
{
    test::ForgetRegistration();
    test::TestCertificate certificate;
    test::PyFtpdTlsServer server(certificate);
    const std::string name = server.Address();
    const std::string fingerprint = certificate.Fingerprint();
    test::TempDir dir;
    const std::string site = SiteFor(dir, {server.Url(), server.Url()}, server.User(), server.Password(), "");
    auto arrived = [&](int n) { return std::filesystem::exists(server.Root() / ("site" + std::to_string(n)) / "index.html"); };
    auto forgetFiles = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(server.Root()))
            std::filesystem::remove_all(entry.path());
    };
    const std::string question = "The certificate of the FTP server " + name +
                                 " is not trusted:\nself-signed certificate\n\nSHA-256 fingerprint:\n" + fingerprint +
                                 "\n\nDo you want to trust this certificate for this server?";
    const std::string refused =
        "The server's certificate was not accepted.\n\nDo you want to continue uploading to the remaining ftp sites?";

    StartedApp started({site});
    CMainFrame& frame = *started.frame();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    // First run: No for the first server, Yes to go on, Yes for the second.
    bool screenshot = false;
    std::vector<ClickedBoxes::Asked> asked =
        UploadClicking(frame, {QMessageBox::No, QMessageBox::Yes, QMessageBox::Yes}, [&](QMessageBox& box) {
            if (!screenshot && box.icon() == QMessageBox::Warning) {
                test::SaveScreenshot(box, "certificate-question");
                screenshot = true;
                // The fingerprint on one line, as the tool prints it.
                const QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                ASSERT_TRUE(label);
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(QString::fromStdString(fingerprint)));
            }
        });
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].text, question);
    EXPECT_EQ(asked[0].icon, QMessageBox::Warning);
    EXPECT_EQ(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(asked[0].defaultButton, QMessageBox::No) << "Enter alone trusts nothing";
    EXPECT_TRUE(asked[0].dialogUp);
    EXPECT_EQ(asked[1].text, refused);
    EXPECT_EQ(asked[2].text, question) << "the No pinned nothing";
    EXPECT_EQ(asked[3].text, "Upload complete.");
    EXPECT_FALSE(arrived(0));
    EXPECT_TRUE(arrived(1));
    EXPECT_EQ(LoadCertificatePin(name), fingerprint);
    EXPECT_TRUE(TakesInput(frame));

    // Second run: the pin answers; nothing is asked.
    forgetFiles();
    asked = UploadClicking(frame, {});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Upload complete.");
    EXPECT_TRUE(arrived(0));
    EXPECT_TRUE(arrived(1));

    // Another certificate was trusted for this server: the question says it
    // has changed; No to it and No to going on stop the run, nothing sent.
    const std::string other = "00" + fingerprint.substr(2);
    ASSERT_TRUE(SaveCertificatePin(name, other));
    forgetFiles();
    asked = UploadClicking(frame, {QMessageBox::No, QMessageBox::No});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "The certificate of the FTP server " + name +
                                 " has changed since it was trusted, and the new one is not trusted:"
                                 "\nself-signed certificate\n\nSHA-256 fingerprint:\n" +
                                 fingerprint + "\n\nDo you want to trust this certificate for this server?");
    EXPECT_EQ(asked[1].text, refused);
    EXPECT_FALSE(arrived(0));
    EXPECT_FALSE(arrived(1));
    EXPECT_EQ(LoadCertificatePin(name), other) << "a No keeps the old pin";
    EXPECT_TRUE(screenshot);
    started.app->GetDocument()->SetModifiedFlag(false);
    test::ForgetRegistration();
}

// Plain FTP to a server that offers TLS: the run goes on unchanged, and the
// main window's status bar says how to encrypt the login; a run to a server
// that does not offer it leaves the status bar alone.
TEST(TlsFromWindow, APlainServerOfferingTlsIsNamedInTheStatusBar)
{
    if (!test::VsftpdServer::Available())
        GTEST_SKIP() << test::VsftpdServer::WhyUnavailable();
    test::ForgetRegistration();
    test::TestCertificate certificate;
    // TLS offered, not demanded.
    test::VsftpdServer offering(true, "ssl_enable=YES\nallow_anon_ssl=YES\nrsa_cert_file=" + certificate.CertPath() +
                                          "\nrsa_private_key_file=" + certificate.KeyPath() + "\n");
    test::VsftpdServer plain;
    struct Row {
        const char* name;
        const test::VsftpdServer& server;
        std::string statusBar;
    };
    const Row rows[] = {
        {"offers TLS", offering,
         offering.Address() + " offers TLS; use ftpes://" + offering.Address() + " to encrypt the login"},
        {"plain only", plain, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        const std::string site = SiteFor(dir, {row.server.Address()}, "", "", "pub/");
        StartedApp started({site});
        CMainFrame& frame = *started.frame();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        const std::vector<ClickedBoxes::Asked> asked = UploadClicking(frame, {});
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "Upload complete.");
        EXPECT_TRUE(std::filesystem::exists(row.server.UploadRoot() / "site0/index.html"));
        EXPECT_EQ(frame.statusBar()->currentMessage().toStdString(), row.statusBar);
        if (!row.statusBar.empty())
            test::SaveScreenshot(frame, "tls-offered-status-bar");
        started.app->GetDocument()->SetModifiedFlag(false);
    }
    test::ForgetRegistration();
}
