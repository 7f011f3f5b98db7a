#include "app/FrameCommands.h"

#include "app/Resource.h"

using namespace res;

const std::vector<FrameCommand>& FrameCommands()
{
    static const std::vector<FrameCommand> commands = {
        {ID_FILE_NEW, "&New", "Ctrl+N", "Create a new web site configuration", "New"},
        {ID_FILE_OPEN, "&Open...", "Ctrl+O", "Open an existing web site configuration", "Open"},
        {ID_FILE_SAVE, "&Save", "Ctrl+S", "Save the active web site configuration", "Save"},
        {ID_FILE_SAVE_AS, "Save &As...", "", "Save the active web site configuration with a new name", "Save As"},
        {ID_FILE_UPLOAD, "&Upload", "Ctrl+U", "Upload files to the web site", "Upload"},
        {ID_FILE_MRU_FILE1, "Recent File", "", "Open this web site configuration", ""},
        {ID_APP_EXIT, "E&xit", "", "Quit the application; prompts to save documents", "Exit"},
        {ID_VIEW_TOOLBAR, "&Toolbar", "", "Show or hide the toolbar", "Toggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "&Status Bar", "", "Show or hide the status bar", "Toggle StatusBar"},
        {ID_HELP_FINDER, "&Help Topics", "", "List Help topics", "Help Topics"},
        {ID_APP_ABOUT, "&About Tessarine...", "", "Display program information, version number and copyright",
         "About"},
        {ID_CONTEXT_HELP, "", "Shift+F1", "Display help for clicked on buttons, menus and windows", "Help"},
        {ID_HELP, "", "F1", "Display help for current task or command", "Help"},
        {ID_DEFAULT_HELP, "", "", "", ""},
    };
    return commands;
}

const FrameCommand* FindFrameCommand(unsigned int id)
{
    for (const FrameCommand& command : FrameCommands())
        if (command.id == id)
            return &command;
    return nullptr;
}

const std::vector<unsigned int>& ToolbarButtons()
{
    static const std::vector<unsigned int> buttons = {
        ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_UPLOAD, 0, ID_APP_ABOUT, ID_HELP_FINDER, ID_CONTEXT_HELP,
    };
    return buttons;
}

const std::vector<FrameMenu>& FrameMenus()
{
    static const std::vector<FrameMenu> menus = {
        {"&File", {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_FILE_UPLOAD, 0, ID_FILE_MRU_FILE1, 0,
                   ID_APP_EXIT}},
        {"&View", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
        {"&Help", {ID_HELP_FINDER, 0, ID_APP_ABOUT}},
    };
    return menus;
}
