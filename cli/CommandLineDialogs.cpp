#include "cli/CommandLineDialogs.h"

#include "model/LocalFileLookup.h"
#include "model/TessarineDoc.h"
#include "platform/framework/MessageBox.h"
#include "platform/ftp/ServerScheme.h"

#include <cstdio>

namespace cli {

int CommandLineDialogs::Refuse(const std::string& message)
{
    std::fprintf(stderr, "tessarine: %s\n", message.c_str());
    m_refused = true;
    return IDCANCEL;
}

int CommandLineDialogs::RunServerDlg(ServerDlgValues& values)
{
    ServerDlgValues changed = values;
    if (serverName)
        changed.m_strServerName = *serverName;
    if (userName)
        changed.m_strUserName = *userName;
    if (password)
        changed.m_strPassword = *password;
    if (baseFolder)
        changed.m_strBaseFolder = *baseFolder;
    if (changed.m_strServerName.empty() || changed.m_strUserName.empty())
        return Refuse("the server name and the user name must not be empty");
    if (const ftp::Status scheme = ftp::CheckServerScheme(changed.m_strServerName); !scheme)
        return Refuse(scheme.error().text);
    values = changed;
    return IDOK;
}

int CommandLineDialogs::RunLocalFileDlg(LocalFileDlgValues& values)
{
    const std::string typed = fileTyped.value_or(values.m_strFileName);
    const std::string lookup = fileAbsolute.value_or(values.m_strFileName);
    if (typed.empty())
        return Refuse("the file name must not be empty");
    const std::optional<std::string> found = fileFound ? fileAbsolute : FindLocalFile(lookup);
    if (!found) {
        AfxMessageBox(LocalFileMissingText(typed), MB_OK | MB_ICONEXCLAMATION);
        m_refused = true;
        return IDCANCEL;
    }
    values.m_strFileName = *found;
    if (webFolder)
        values.m_strWebFolder = *webFolder;
    if (transferType)
        values.m_nTransferType = *transferType;
    else if (fileAbsolute)
        values.m_nTransferType = CTessarineDoc::IsAsciiTextFile(*found) ? 1 : 0;
    return IDOK;
}

}  // namespace cli
