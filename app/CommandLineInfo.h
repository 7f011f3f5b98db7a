#pragma once
// The framework's reading of the program's arguments.
//
// An argument that begins with "/" or "-" is a switch only when the rest of
// it is a switch name the program knows: "p", "pt" and "dde" compared with
// case, "Unregister", "Unregserver", "Embedding", "Automation" and the
// installer's own "install", "installstep2", "uninstall" (which the framework
// ignores) without. Anything else is a file name, so that an absolute path
// such as "/home/anna/site.tsn" names a file. The first file name is the
// document; after "pt" the next three are printer, driver and port.

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing };

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;

    // Takes one argument; last is true for the final one.
    void ParseParam(const std::string& argument, bool last);

private:
    // True when name is a known switch (and has been taken).
    bool ParseParamFlag(const std::string& name);
    void ParseParamNotFlag(const std::string& argument);
};

// Every argument after the program name into info, in order.
void ParseCommandLine(const std::vector<std::string>& arguments, CCommandLineInfo& info);
