#include "app/CommandLineInfo.h"
#include "app/DesktopRegistration.h"
#include "install/DesktopEntryFile.h"
#include "app/RecentFileList.h"
#include "app/SingleDocTemplate.h"
#include "app/Resource.h"

#include <gtest/gtest.h>

#include <QString>

using Cmd = CCommandLineInfo;

TEST(CommandLineInfo, SwitchesAreOnlyTheKnownNamesEverythingElseIsAFile)
{
    struct Row {
        std::vector<std::string> args;
        Cmd::ShellCommand command;
        std::string file;
        std::string printer, driver, port;
        bool embedded = false, automated = false;
    };
    const Row rows[] = {
        {{}, Cmd::FileNew, ""},
        {{"/home/anna/site.tsn"}, Cmd::FileOpen, "/home/anna/site.tsn"},
        {{"/home/anna/my sites/site one.tsn"}, Cmd::FileOpen, "/home/anna/my sites/site one.tsn"},
        {{"site.tsn", "other.tsn"}, Cmd::FileOpen, "site.tsn"},
        {{"/p", "a.tsn"}, Cmd::FilePrint, "a.tsn"},
        {{"-p", "a.tsn"}, Cmd::FilePrint, "a.tsn"},
        // "p", "pt" and "dde" keep their case: "/P" is a file's name.
        {{"/P", "a.tsn"}, Cmd::FileOpen, "/P"},
        {{"/PT", "a.tsn"}, Cmd::FileOpen, "/PT"},
        {{"/pt", "a.tsn", "printer", "driver", "port", "extra"}, Cmd::FilePrintTo, "a.tsn", "printer", "driver", "port"},
        {{"/dde"}, Cmd::FileDDE, ""},
        {{"/DDE"}, Cmd::FileOpen, "/DDE"},
        {{"/Unregister"}, Cmd::AppUnregister, ""},
        {{"-UNREGSERVER"}, Cmd::AppUnregister, ""},
        {{"/unregister", "/Embedding"}, Cmd::AppUnregister, "", "", "", "", true},
        {{"/embedding"}, Cmd::FileNew, "", "", "", "", true},
        {{"-Automation", "a.tsn"}, Cmd::FileOpen, "a.tsn", "", "", "", false, true},
        // The installer's switches are its own: the framework passes them by.
        {{"/installstep2"}, Cmd::FileNew, ""},
        {{"/INSTALL", "a.tsn"}, Cmd::FileOpen, "a.tsn"},
        {{"/uninstall"}, Cmd::FileNew, ""},
        {{"/nosuchswitch"}, Cmd::FileOpen, "/nosuchswitch"},
        {{"/"}, Cmd::FileOpen, "/"},
        {{"-"}, Cmd::FileOpen, "-"},
        {{"/p"}, Cmd::FilePrint, ""},
    };
    for (const Row& row : rows) {
        std::string shown;
        for (const std::string& a : row.args)
            shown += "[" + a + "]";
        SCOPED_TRACE(shown);
        Cmd info;
        ParseCommandLine(row.args, info);
        EXPECT_EQ(info.m_nShellCommand, row.command);
        EXPECT_EQ(info.m_strFileName, row.file);
        EXPECT_EQ(info.m_strPrinterName, row.printer);
        EXPECT_EQ(info.m_strDriverName, row.driver);
        EXPECT_EQ(info.m_strPortName, row.port);
        EXPECT_EQ(info.m_bRunEmbedded, row.embedded);
        EXPECT_EQ(info.m_bRunAutomated, row.automated);
    }
}

TEST(DocTemplate, TheTemplateStringHasSevenFields)
{
    CSingleDocTemplate docTemplate(res::IDR_MAINFRAME, res::IDR_MAINFRAME_TEXT, {});
    const char* expected[] = {"Tessarine", "", "Tessup", "Tessarine Files (*.tsn)", ".tsn", "Tessarine.Document",
                              "Tessup Configuration"};
    for (int i = 0; i < 7; ++i) {
        std::string field = "?";
        EXPECT_TRUE(docTemplate.GetDocString(field, static_cast<CSingleDocTemplate::DocStringIndex>(i)));
        EXPECT_EQ(field, expected[i]) << i;
    }
    std::string beyond = "?";
    EXPECT_FALSE(docTemplate.GetDocString(beyond, static_cast<CSingleDocTemplate::DocStringIndex>(7)));
    EXPECT_EQ(beyond, "");
}

TEST(RecentFileList, MenuTextsAreShortenedToThirtyCharacters)
{
    struct Row {
        const char* path;
        const char* shown;
    };
    const Row rows[] = {
        {"/home/anna/site.tsn", "/home/anna/site.tsn"},
        {"/home/anna/sites/2024/summer/site.tsn", "/.../2024/summer/site.tsn"},
        {"/home/anna/a-rather-long-folder-name/site.tsn", "/.../site.tsn"},
        {"/home/a-file-name-that-is-longer-than-thirty.tsn", "a-file-name-that-is-longer-tha"},
        {"/home/anna/sites/twenty-four-chars-xx.tsn", "/.../twenty-four-chars-xx.tsn"},
        {"/home/anna/twenty-seven-char-name1.tsn", "twenty-seven-char-name1.tsn"},
        {"/123456789/123456789/12345678", "/123456789/123456789/12345678"},
        // Thirty characters, not bytes; a character is never cut in two.
        {"/home/jürgen/Gärten/site.tsn", "/home/jürgen/Gärten/site.tsn"},
        {"/home/jürgen/Größere Gärten/Übersicht.tsn", "/.../Übersicht.tsn"},
        {"/home/anna/Größe/Gärten-Blätter2.tsn", "/.../Größe/Gärten-Blätter2.tsn"},
        {"/home/Übersicht-der-Gärtnerei-Größenordnung.tsn", "Übersicht-der-Gärtnerei-Größen"},
        {"/home/abcdefghijklmnopqrstuvwxyz0123ä.tsn", "abcdefghijklmnopqrstuvwxyz0123"},
        {"/home/abcdefghijklmnopqrstuvwxyz012ä.tsn", "abcdefghijklmnopqrstuvwxyz012ä"},
    };
    for (const Row& row : rows) {
        const QString shown = QString::fromStdString(AbbreviatePath(row.path, 30));
        EXPECT_EQ(shown, QString::fromUtf8(row.shown)) << row.path;
        EXPECT_LE(shown.size(), 30);
        EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter)) << row.path;
    }
    CRecentFileList list("Software\\Orvik\\Tessarine\\Recent File List", 9);
    list.Add("/home/anna/R&D.tsn");
    list.Add("/home/anna/site.tsn");
    EXPECT_EQ(list.GetMenuText(0, 30), "&1 /home/anna/site.tsn");
    EXPECT_EQ(list.GetMenuText(1, 30), "&2 /home/anna/R&&D.tsn");
}

TEST(DesktopRegistration, ExecArgumentsAreQuotedAndEscapedTwice)
{
    struct Row {
        const char* path;
        const char* exec;
    };
    const Row rows[] = {
        {"/opt/tessarine/Tessup", "\"/opt/tessarine/Tessup\""},
        {"/home/anna/My Programs/Tessup", "\"/home/anna/My Programs/Tessup\""},
        // Inside the quotes " ` $ \ get a backslash; the value's own escaping
        // then doubles every backslash.
        {"/opt/a\"b/Tessup", "\"/opt/a\\\\\"b/Tessup\""},
        {"/opt/$HOME/`x`/Tessup", "\"/opt/\\\\$HOME/\\\\`x\\\\`/Tessup\""},
        {"/opt/back\\slash/Tessup", "\"/opt/back\\\\\\\\slash/Tessup\""},
        {"/opt/100%/Tessup", "\"/opt/100%%/Tessup\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DesktopEntryExecArgument(row.path), row.exec) << row.path;
    EXPECT_NE(DesktopEntryText("/opt/tessarine/Tessup").find("\nExec=\"/opt/tessarine/Tessup\" %f\n"), std::string::npos);
    EXPECT_NE(DesktopEntryText("/x").find("\nMimeType=application/x-tessarine;\n"), std::string::npos);
    const std::string mime = MimePackageText();
    EXPECT_NE(mime.find("<mime-type type=\"application/x-tessarine\">"), std::string::npos);
    EXPECT_NE(mime.find("<match type=\"string\" offset=\"0\" value=\"KTSN\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.tsn\"/>"), std::string::npos);
}
