#include "tests/app/AppTestSupport.h"

#include "app/DesktopRegistration.h"
#include "model/TessarineDoc.h"
#include "platform/framework/DocumentFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryText.h"

#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <filesystem>

namespace test {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own objects that outlive main() go first.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void ForgetRegistration()
{
    RegistryStore& store = RegistryStore::Default();
    for (const char* key : {".tsn", "Tessarine.Document"})
        store.DeleteKey(HKEY_CLASSES_ROOT, key);
    store.DeleteKey(HKEY_CURRENT_USER, "Software\\Orvik");
    const DesktopRegistrationFiles files = DesktopRegistrationPaths();
    std::filesystem::remove(files.mimePackage);
    std::filesystem::remove(files.desktopEntry);
}

std::string RegistrySnapshot()
{
    std::vector<RegistryKeyRecord> keys;
    RegistryStore::Default().ExportAll(keys);
    return FormatRegistryText(keys);
}

void SaveScreenshot(QWidget& widget, const std::string& name)
{
    if (const char* folder = std::getenv("TESSARINE_SCREENSHOT_DIR"))
        widget.grab().save(QString::fromUtf8(folder) + "/" + QString::fromStdString(name) + ".png");
}

StartedApp::StartedApp(const std::vector<std::string>& arguments, std::deque<int> answers) : box(std::move(answers))
{
    App();
    app = std::make_unique<CTessarineApp>(&services);
    std::vector<std::string> argv = {"/opt/tessarine/Tessup"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    app->SetArguments(argv);
    started = app->InitInstance();
}

StartedApp::~StartedApp()
{
    app->ExitInstance();
}

void WriteConfiguration(const std::string& path)
{
    CTessarineDoc doc;
    doc.AddServer("ftp.example.org", "anna", "secret", "public_html");
    doc.AddFile("/home/anna/site/index.html", "www", 1);
    SaveDocumentFile(doc, path);
}

}  // namespace test
