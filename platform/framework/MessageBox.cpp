#include "platform/framework/MessageBox.h"

#include <cstdio>

namespace {

IMessageBoxHandler* g_handler = nullptr;

}  // namespace

IMessageBoxHandler* SetMessageBoxHandler(IMessageBoxHandler* handler)
{
    IMessageBoxHandler* previous = g_handler;
    g_handler = handler;
    return previous;
}

int SafeMessageBoxAnswer(unsigned int style)
{
    switch (style & MB_TYPEMASK) {
    case MB_YESNO:
        return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int CaptionedMessageBox(const std::string& caption, const std::string& text, unsigned int style)
{
    if (g_handler)
        return g_handler->Show(caption, text, style);
    std::fprintf(stderr, "%s\n", text.c_str());
    return SafeMessageBoxAnswer(style);
}

int AfxMessageBox(const std::string& text, unsigned int style, unsigned int /*helpId*/)
{
    return CaptionedMessageBox(kAppCaption, text, style);
}
