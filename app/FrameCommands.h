#pragma once
// The main frame's commands as its menu, accelerators, toolbar, status bar
// and tooltips show them.

#include <string>
#include <vector>

struct FrameCommand {
    unsigned int id;
    const char* menuText;  // without the accelerator's text; empty: no menu entry
    const char* key;       // Qt key sequence text; empty: none
    const char* prompt;    // status bar prompt; empty: none
    const char* tooltip;   // toolbar tooltip; empty: none
};

// Every command of the frame, in table order.
const std::vector<FrameCommand>& FrameCommands();
// The command with id, or null.
const FrameCommand* FindFrameCommand(unsigned int id);

// The toolbar: command ids in button order, 0 for a gap. Button n shows
// picture n of the toolbar strip (gaps have none).
const std::vector<unsigned int>& ToolbarButtons();

// The menus: a title and its command ids; 0 a separator, ID_FILE_MRU_FILE1
// the place of the recent files.
struct FrameMenu {
    const char* title;
    std::vector<unsigned int> ids;
};
const std::vector<FrameMenu>& FrameMenus();
