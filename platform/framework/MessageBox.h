#pragma once
// The framework's message box, reduced to a seam: the core asks every
// question and shows every message through AfxMessageBox, and whoever runs
// the core (the window, the command-line tool, a test) installs the handler
// that answers it. No handler installed: the text goes to standard error and
// the answer is the safe one (OK, No, Cancel).

#include <string>

// Buttons and icons, with the platform's values.
constexpr unsigned int MB_OK = 0x00000000;
constexpr unsigned int MB_OKCANCEL = 0x00000001;
constexpr unsigned int MB_YESNOCANCEL = 0x00000003;
constexpr unsigned int MB_YESNO = 0x00000004;
constexpr unsigned int MB_ICONHAND = 0x00000010;
constexpr unsigned int MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned int MB_ICONERROR = MB_ICONHAND;
constexpr unsigned int MB_ICONQUESTION = 0x00000020;
constexpr unsigned int MB_ICONEXCLAMATION = 0x00000030;
constexpr unsigned int MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned int MB_ICONINFORMATION = 0x00000040;
constexpr unsigned int MB_ICONASTERISK = MB_ICONINFORMATION;
constexpr unsigned int MB_DEFBUTTON2 = 0x00000100;
constexpr unsigned int MB_TYPEMASK = 0x0000000F;
constexpr unsigned int MB_ICONMASK = 0x000000F0;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The application name, the caption of the program's own message boxes.
inline constexpr const char* kAppCaption = "Tessarine";

class IMessageBoxHandler {
public:
    virtual ~IMessageBoxHandler() = default;
    // Shows text under caption with the given MB_ style and returns the ID of
    // the button chosen. Blocks until answered.
    virtual int Show(const std::string& caption, const std::string& text, unsigned int style) = 0;
};

// Installs handler (nullptr: the default) and returns the one it replaces.
// The caller keeps ownership.
IMessageBoxHandler* SetMessageBoxHandler(IMessageBoxHandler* handler);

// The answer a box with this style gets when nobody can be asked.
int SafeMessageBoxAnswer(unsigned int style);

// A message box captioned "Tessarine".
int AfxMessageBox(const std::string& text, unsigned int style = MB_OK, unsigned int helpId = 0);

// A message box with a caption of the caller's (the installer's boxes).
int CaptionedMessageBox(const std::string& caption, const std::string& text, unsigned int style);
