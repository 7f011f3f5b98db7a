#pragma once
// Starting programs and opening documents or addresses.

#include <string>

// Starts commandLine as a new process and does not wait for it. The program
// is the first token (a quoted one, else up to the first blank); a name
// without "/" is looked for beside the running program, then in the current
// folder, then along PATH. The arguments follow the C runtime's splitting
// (platform/shell/CommandLine.h). The process runs in currentDirectory
// (empty: the caller's), in its own session, with the caller's environment
// and no descriptors but 0 to 2; it is never left behind as a zombie.
// True only when the program was really executed. Shows no message.
bool RunCommandLine(const std::string& commandLine, const std::string& currentDirectory = std::string());

// Opens target: first as a command line (a program with arguments is just
// started); else through the desktop opener with the verb "open" (the
// default action for a ".lnk" target, any case, for which SE_ERR_ACCESSDENIED
// also counts as success). On failure shows "Unable to execute " + target,
// a line feed and the reason through AfxMessageBox (exclamation icon, OK)
// and returns false.
bool LaunchDocument(const std::string& target);

// The reason text for a shell result code of 32 or less.
std::string ShellErrorText(int code);
