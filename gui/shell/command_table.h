#pragma once

#include <QKeySequence>
#include <QString>
#include <vector>

namespace kresograf {

// Command ids of the menus, the toolbar and the accelerators.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57667,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_FILE_MRU_FILE1 = 57616,
    ID_LINK_SCALES = 33080,
    ID_ALIGN_SCALES = 33081,
    ID_AUTOSCALE = 33082,
    ID_PROPERTIES = 33088,
    ID_GRID = 33089,
    ID_OSC_START = 33100,
    ID_REC_START = 33101,
    ID_ACQ_PARAMS = 33102,
    ID_EXPORT_ASCII = 33108,
    ID_REGISTERED_PARAMS = 33109,
    ID_FIX_X_ZERO = 33113,
    ID_FIX_Y_ZERO = 33114,
    ID_FORMULA_OUTPUT = 33103,
    ID_ANALOG_FILE_OUTPUT = 33104,
    ID_DIGITAL_FILE_OUTPUT = 33107,
    ID_GENERATOR = 33110,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_MARKER_LEFT_BACK = 33083,
    ID_MARKER_RIGHT_BACK = 33084,
    ID_MARKER_LEFT_FORWARD = 33085,
    ID_MARKER_RIGHT_FORWARD = 33086,
    ID_MARKERS_WINDOW = 33087,
    ID_SPECTRUM_WINDOW = 33115,
    ID_MARKERS = 33094,
    ID_SWAP_CHANNELS = 33095,
    ID_EDIT_COPY = 33105,
    ID_EDIT_COPY_NEGATED = 33106,
    // Channel i (from 0) is the first id + i.
    ID_ACTIVE_CHANNEL1 = 32780,
    ID_RIGHT_CHANNEL1 = 32880,
    ID_SHOW_CHANNEL1 = 32980,
};

// One command as a resource: the menu text (with its accelerator after a tab where the menu shows
// one), the status-bar prompt, the toolbar tooltip and the keys that run it.
struct CommandInfo {
    int Id = 0;
    QString Text;
    QString Prompt;
    QString Tooltip;
    QKeySequence Keys;
    bool Checkable = false;
};

// Every command this program has, in no particular order, its texts in the user's language.
const std::vector<CommandInfo>& Commands();
const CommandInfo& Command(int id);

// The toolbar's buttons in order; 0 is a separator.
const std::vector<int>& ToolbarLayout();

// One entry of a menu: a command, a submenu (named by its object name) or, with neither, a
// separator.
struct MenuEntry {
    MenuEntry(int id = 0, QString submenu = {}) : Id(id), Submenu(std::move(submenu)) {}
    int Id;
    QString Submenu;
};

// A menu as a resource: its object name (which does not depend on the language), its title, its
// entries in order. The areas fill the menus that are lists (recent files, windows) themselves.
struct MenuResource {
    QString Name;
    QString Title;
    // A menu of the menu bar, rather than a submenu.
    bool TopLevel = false;
    // Shown only while a document is open.
    bool NeedsDocument = false;
    std::vector<MenuEntry> Entries;
};

// The menu bar's menus in order, then the submenus they name, in the user's language.
const std::vector<MenuResource>& MenuLayout();

// The object name that identifies a command's action: "ID_33082".
QString CommandObjectName(int id);

}  // namespace kresograf
