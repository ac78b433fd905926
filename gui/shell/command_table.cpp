#include "shell/command_table.h"

#include <stdexcept>

#include "view/channel_menu.h"

namespace kresograf {
namespace {

// Keys is what the accelerator table binds; the menus show those keys by themselves. The two
// zero commands name Ctrl+X and Ctrl+Y in their text only: those keys are not bound.
std::vector<CommandInfo> BuildCommands() {
    std::vector<CommandInfo> commands = {
        {ID_FILE_NEW, "&Nowy", "Tworzy nowy dokument", "Nowy", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ID_FILE_OPEN, "&Otwórz...", "Otwiera istniejący dokument", "Otwórz",
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_SAVE, "&Zapisz", "Zapisuje aktywny dokument", "Zapisz",
         QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ID_FILE_SAVE_AS,
         "Zapisz &jako...",
         "Zapisuje aktywny dokument pod nową nazwą",
         "Zapisz jako",
         {}},
        {ID_APP_EXIT,
         "&Koniec",
         "Kończy pracę programu; pyta o zapisanie dokumentów",
         "Koniec",
         {}},
        {ID_APP_ABOUT, "&O programie...", "Wyświetla informacje o programie", "O programie", {}},
        {ID_HELP_FINDER, "&Tematy pomocy", "Lista tematów pomocy", "Tematy pomocy",
         QKeySequence(Qt::Key_F1)},
        {ID_WINDOW_NEW, "&Nowe okno", "Otwiera kolejne okno aktywnego dokumentu", "Nowe okno", {}},
        {ID_WINDOW_CASCADE, "&Kaskada", "Układa okna kaskadowo", "Kaskada", {}},
        {ID_WINDOW_TILE_HORZ, "&Sąsiadująco", "Układa okna obok siebie", "Sąsiadująco", {}},
        {ID_WINDOW_ARRANGE,
         "&Uporządkuj ikony",
         "Porządkuje ikony zminimalizowanych okien",
         "Uporządkuj ikony",
         {}},
        {ID_NEXT_PANE, "Następne okno", "Przechodzi do następnego okna", "Następne okno",
         QKeySequence(Qt::Key_F6)},
        {ID_PREV_PANE, "Poprzednie okno", "Przechodzi do poprzedniego okna", "Poprzednie okno",
         QKeySequence(Qt::SHIFT | Qt::Key_F6)},
        {ID_VIEW_TOOLBAR,
         "Pasek &narzędzi",
         "Pokazuje lub ukrywa pasek narzędzi",
         "Pasek narzędzi",
         {},
         true},
        {ID_VIEW_STATUS_BAR,
         "Pasek &statusu",
         "Pokazuje lub ukrywa pasek statusu",
         "Pasek statusu",
         {},
         true},
        {ID_OSC_START, "&Start", "Start trybu oscyloskopowego", "Start oscyloskopu",
         QKeySequence(Qt::CTRL | Qt::Key_T), true},
        {ID_REC_START, "&Rejestracja", "Start trybu rejestracji", "Start rejestracji", {}, true},
        {ID_REGISTERED_PARAMS,
         "&Zarejestrowane parametry ...",
         "Informacja o parametrach rejestracji",
         "Zarejestrowane parametry",
         {}},
        {ID_AUTOSCALE, "&Autoskala", "Wykonuje autoskalowanie dla aktywnego kanału",
         "Autoskalowanie", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {ID_ALIGN_SCALES, "&Wyrównaj skale Y", "Wyrównuje skale Y ze skalą kanału aktywnego",
         "Wyrównuje skale Y", QKeySequence(Qt::CTRL | Qt::Key_L)},
        {ID_LINK_SCALES, "&Połącz skale Y", "Łączy lub rozłącza skale Y",
         "Łączy lub rozłącza skale Y", QKeySequence(Qt::Key_0), true},
        {ID_FIX_X_ZERO,
         "Ustal zero skali &X\tCtrl+X",
         "Ustala 0 skali X na lewej krawędzi wykresu",
         "Ustal zero skali X",
         {}},
        {ID_FIX_Y_ZERO,
         "Ustal zero skali &Y\tCtrl+Y",
         "Ustala zero skali Y na środku wykresu",
         "Ustal zero skali Y",
         {}},
        {ID_GRID, "&Siatka", "Włącza lub wyłącza siatkę", "Przełącza siatkę", {}, true},
        {ID_ACQ_PARAMS, "&Parametry akwizycji ...", "", "Parametry akwizycji", {}},
        {ID_PROPERTIES,
         "Właściw&ości ...",
         "Otwiera okno z ustawieniami aplikacji",
         "Właściwości",
         {}},
        {ID_EXPORT_ASCII,
         "formatu &ASCII",
         "Eksport danych do formatu ASCII",
         "Eksport danych do formatu ASCII",
         {}},
        {ID_GENERATOR,
         "&Generator",
         "Generacja podstawowych przebiegów okresowych",
         "Generator",
         {}},
        {ID_FORMULA_OUTPUT,
         "Generuj wg &wzoru wyjście analogowe...",
         "Generacja wyjścia analogowego wg wzorów",
         "Generuj wg wzoru wyjście analogowe",
         {}},
        {ID_ANALOG_FILE_OUTPUT,
         "Generuj z pliku wyjście &analogowe...",
         "Generacja wyjścia analogowego z pliku",
         "Generuj z pliku wyjście analogowe",
         {}},
        {ID_DIGITAL_FILE_OUTPUT,
         "Generuj z pliku wyjście &cyfrowe...",
         "Generacja wyjść cyfrowych z pliku",
         "Generuj z pliku wyjście cyfrowe",
         {}},
        {ID_FILE_PRINT, "&Drukuj...\tCtrl+P", "Drukuje aktywny dokument", "Drukuj",
         QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ID_FILE_PRINT_DIRECT,
         "Drukuj bez pytania",
         "Drukuje aktywny dokument z bieżącymi ustawieniami",
         "Drukuj",
         {}},
        {ID_FILE_PRINT_PREVIEW,
         "&Podgląd wydruku",
         "Wyświetla stronę tak, jak zostanie wydrukowana",
         "Podgląd wydruku",
         {}},
        {ID_FILE_PRINT_SETUP,
         "&Ustawienia druku",
         "Zmienia drukarkę i ustawienia wydruku",
         "Ustawienia druku",
         {}},
        {ID_EDIT_COPY, "&Kopiuj", "Kopiuje aktywny widok do bitmapy", "Kopiuj", {}},
        {ID_EDIT_COPY_NEGATED, "K&opiuj z negacją\tCtrl+C",
         "Kopiuje z negacją aktywny widok do bitmapy", "Kopiuj z negacją",
         QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ID_MARKERS_WINDOW,
         "Okno &znaczników",
         "Pokazuje lub ukrywa okno znaczników",
         "Okno znaczników",
         {},
         true},
        {ID_MARKERS,
         "&Znaczniki",
         "Włącza lub wyłącza znaczniki dla aktywnego kanału",
         "Znaczniki",
         {},
         true},
        {ID_SWAP_CHANNELS,
         "&Zamień aktywny kanał",
         QString::fromUtf8(SwapChannelsPrompt.data(),
                           static_cast<qsizetype>(SwapChannelsPrompt.size())),
         "Zamień aktywny kanał",
         {}},
        // The marker keys have no menu items.
        {ID_MARKER_LEFT_BACK, "Lewy znacznik w lewo", {}, {}, QKeySequence(Qt::Key_Left)},
        {ID_MARKER_LEFT_FORWARD, "Lewy znacznik w prawo", {}, {}, QKeySequence(Qt::Key_Right)},
        {ID_MARKER_RIGHT_BACK,
         "Prawy znacznik w lewo",
         {},
         {},
         QKeySequence(Qt::CTRL | Qt::Key_Left)},
        {ID_MARKER_RIGHT_FORWARD,
         "Prawy znacznik w prawo",
         {},
         {},
         QKeySequence(Qt::CTRL | Qt::Key_Right)},
    };
    // The channel items: text and keys from the channel menus, no prompts.
    for (int i = 0; i < ChannelCount; ++i) {
        const auto digit = static_cast<Qt::Key>(Qt::Key_1 + i);
        auto text = [i](ChannelMenu menu) {
            return QString::fromStdString(ChannelItemText(menu, i));
        };
        commands.push_back({ID_SHOW_CHANNEL1 + i, text(ChannelMenu::Visibility), {}, {}, {}, true});
        commands.push_back(
            {ID_ACTIVE_CHANNEL1 + i, text(ChannelMenu::Active), {}, {}, QKeySequence(digit), true});
        commands.push_back({ID_RIGHT_CHANNEL1 + i,
                            text(ChannelMenu::RightAxis),
                            {},
                            {},
                            QKeySequence(Qt::CTRL | digit),
                            true});
    }
    return commands;
}

}  // namespace

const std::vector<CommandInfo>& Commands() {
    static const std::vector<CommandInfo> commands = BuildCommands();
    return commands;
}

const CommandInfo& Command(int id) {
    for (const auto& command : Commands()) {
        if (command.Id == id) {
            return command;
        }
    }
    throw std::out_of_range("unknown command id");
}

const std::vector<int>& ToolbarLayout() {
    static const std::vector<int> layout = {
        ID_FILE_NEW,
        ID_FILE_OPEN,
        ID_FILE_SAVE,
        0,
        ID_FILE_PRINT,
        0,
        ID_OSC_START,
        ID_REC_START,
        0,
        ID_SWAP_CHANNELS,
        ID_GRID,
        ID_AUTOSCALE,
        ID_ALIGN_SCALES,
        ID_LINK_SCALES,
        ID_FIX_X_ZERO,
        ID_FIX_Y_ZERO,
        0,
        ID_APP_ABOUT,
        ID_HELP_FINDER,
    };
    return layout;
}

QString CommandObjectName(int id) {
    return QStringLiteral("ID_%1").arg(id);
}

}  // namespace kresograf
