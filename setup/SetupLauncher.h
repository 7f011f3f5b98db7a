#pragma once
// The setup launcher: starts "Tessup /install" and ends at once.

// Starts the installer with RunCommandLine (so Tessup is found first beside
// setup) and the launcher's current folder, without waiting. When that fails,
// tells the user once with ShowSetupError. programName is argv[0]; nothing
// else of setup's own command line is used or passed on. Returns 0 always.
int RunSetupLauncher(const char* programName);

// "Unable to run \"Tessup /install\"." captioned "Error": a message box when
// the program has windows and a display, else standard error. Implemented
// once with Qt and once without (TESSARINE_GUI=OFF).
void ShowSetupError(const char* programName);

// Whether a window can be shown: DISPLAY or WAYLAND_DISPLAY is set, or
// QT_QPA_PLATFORM names a platform that shows windows to someone (not
// "offscreen" or "minimal", where a message box would wait for ever).
bool SetupHasDisplay();

// Writes "Error: " and the message to standard error.
void PrintSetupError();

extern const char* const kSetupCommandLine;
extern const char* const kSetupErrorText;
extern const char* const kSetupErrorCaption;
