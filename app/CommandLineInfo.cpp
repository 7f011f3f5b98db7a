#include "app/CommandLineInfo.h"

#include <strings.h>

namespace {

bool SameIgnoringCase(const std::string& a, const char* b)
{
    return strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

bool CCommandLineInfo::ParseParamFlag(const std::string& name)
{
    if (name == "pt")
        m_nShellCommand = FilePrintTo;
    else if (name == "p")
        m_nShellCommand = FilePrint;
    else if (SameIgnoringCase(name, "Unregister") || SameIgnoringCase(name, "Unregserver"))
        m_nShellCommand = AppUnregister;
    else if (name == "dde")
        m_nShellCommand = FileDDE;
    else if (SameIgnoringCase(name, "Embedding"))
        m_bRunEmbedded = true;
    else if (SameIgnoringCase(name, "Automation"))
        m_bRunAutomated = true;
    else if (!SameIgnoringCase(name, "install") && !SameIgnoringCase(name, "installstep2") &&
             !SameIgnoringCase(name, "uninstall"))
        return false;
    return true;
}

void CCommandLineInfo::ParseParamNotFlag(const std::string& argument)
{
    if (m_strFileName.empty())
        m_strFileName = argument;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty())
        m_strPrinterName = argument;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.empty())
        m_strDriverName = argument;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.empty())
        m_strPortName = argument;
}

void CCommandLineInfo::ParseParam(const std::string& argument, bool last)
{
    const bool flagLike = !argument.empty() && (argument[0] == '/' || argument[0] == '-');
    if (!flagLike || !ParseParamFlag(argument.substr(1)))
        ParseParamNotFlag(argument);
    if (last && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}

void ParseCommandLine(const std::vector<std::string>& arguments, CCommandLineInfo& info)
{
    for (std::size_t i = 0; i < arguments.size(); ++i)
        info.ParseParam(arguments[i], i + 1 == arguments.size());
}
