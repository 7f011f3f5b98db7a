#pragma once
// The program's resource and command identifiers and the texts of its string
// table, with the numbers the framework and the program's resources use.

namespace res {

// Resource 128: menu, accelerators, icon, toolbar and the template string.
constexpr unsigned int IDR_MAINFRAME = 128;
constexpr unsigned int IDR_ADVERTISEMENT_BAR = 631;
constexpr unsigned int ID_ADVERTISEMENT_BAR = 1;
constexpr unsigned int IDC_ADVERTISEMENT_LINK = 1022;

// Commands.
constexpr unsigned int ID_FILE_NEW = 57600;
constexpr unsigned int ID_FILE_OPEN = 57601;
constexpr unsigned int ID_FILE_SAVE = 57603;
constexpr unsigned int ID_FILE_SAVE_AS = 57604;
constexpr unsigned int ID_FILE_PRINT_SETUP = 57606;
constexpr unsigned int ID_FILE_PRINT_DIRECT = 57608;
constexpr unsigned int ID_FILE_MRU_FILE1 = 57616;
constexpr unsigned int ID_APP_ABOUT = 57664;
constexpr unsigned int ID_APP_EXIT = 57665;
constexpr unsigned int ID_HELP_FINDER = 57667;
constexpr unsigned int ID_CONTEXT_HELP = 57669;
constexpr unsigned int ID_HELP = 57670;
constexpr unsigned int ID_DEFAULT_HELP = 57671;
constexpr unsigned int ID_VIEW_TOOLBAR = 59392;
constexpr unsigned int ID_VIEW_STATUS_BAR = 59393;
constexpr unsigned int ID_FILE_UPLOAD = 32771;

// Strings.
constexpr const char* IDR_MAINFRAME_TEXT =
    "Tessarine\n\nTessup\nTessarine Files (*.tsn)\n.tsn\nTessarine.Document\nTessup Configuration";
constexpr const char* IDS_APP_TITLE = "Tessarine";                        // 57344
constexpr const char* IDS_IDLEMESSAGE = "For Help, press F1";             // 57345
constexpr const char* IDS_HELPMODEMESSAGE = "Select an object on which to get Help";  // 57346
constexpr const char* IDS_UNTITLED = "Untitled";                          // 61443
constexpr const char* IDS_SOCKETS_INIT_FAILED = "Windows sockets initialization failed.";  // 104
constexpr const char* IDP_OLE_INIT_FAILED =
    "OLE initialization failed.  Make sure that the OLE libraries are the correct version.";  // 100
constexpr const char* IDP_UNREG_DONE =
    "System registry entries have been removed and the INI file (if any) was deleted.";  // 61707
constexpr const char* IDP_UNREG_FAILURE =
    "Not all of the system registry entries (or INI file) were removed.";  // 61708
constexpr const char* IDP_ASK_TO_SAVE = "Save changes to %1?";
constexpr const char* IDS_ADVERTISEMENT_TEXT = "Please click on the advertisement";

constexpr const char* kCompanyKey = "Orvik";
constexpr int kRecentFileCount = 9;
constexpr int kRecentFileDisplayLength = 30;

}  // namespace res
