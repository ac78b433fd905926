#include "gui/shell/command_table.h"

#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "analysis/spectrum_texts.h"
#include "base/translation.h"
#include "generation/generation_texts.h"
#include "shell/shell_texts.h"
#include "view/channel_menu.h"

namespace kresograf {
namespace {

// Keys is what the accelerator table binds; the menus show those keys by themselves. The two
// zero commands name Ctrl+X and Ctrl+Y in their text only: those keys are not bound.
std::vector<CommandInfo> BuildCommands() {
    std::vector<CommandInfo> commands = {
        {ID_FILE_NEW, Tr("&Nowy"), Tr("Tworzy nowy dokument"), Tr("Nowy"),
         QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ID_FILE_OPEN, Tr("&Otwórz..."), Tr("Otwiera istniejący dokument"), Tr("Otwórz"),
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_SAVE, Tr("&Zapisz"), Tr("Zapisuje aktywny dokument"), Tr("Zapisz"),
         QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ID_FILE_SAVE_AS,
         Tr("Zapisz &jako..."),
         Tr("Zapisuje aktywny dokument pod nową nazwą"),
         Tr("Zapisz jako"),
         {}},
        {ID_APP_EXIT,
         Tr("&Koniec"),
         Tr("Kończy pracę programu; pyta o zapisanie dokumentów"),
         Tr("Koniec"),
         {}},
        {ID_APP_ABOUT,
         Tr("&O programie..."),
         Tr("Wyświetla informacje o programie"),
         Tr("O programie"),
         {}},
        {ID_HELP_FINDER, Tr("&Tematy pomocy"), Tr("Lista tematów pomocy"), Tr("Tematy pomocy"),
         QKeySequence(Qt::Key_F1)},
        {ID_WINDOW_NEW,
         Tr("&Nowe okno"),
         Tr("Otwiera kolejne okno aktywnego dokumentu"),
         Tr("Nowe okno"),
         {}},
        {ID_WINDOW_CASCADE, Tr("&Kaskada"), Tr("Układa okna kaskadowo"), Tr("Kaskada"), {}},
        {ID_WINDOW_TILE_HORZ,
         Tr("&Sąsiadująco"),
         Tr("Układa okna obok siebie"),
         Tr("Sąsiadująco"),
         {}},
        {ID_WINDOW_ARRANGE,
         Tr("&Uporządkuj ikony"),
         Tr("Porządkuje ikony zminimalizowanych okien"),
         Tr("Uporządkuj ikony"),
         {}},
        {ID_NEXT_PANE, Tr("Następne okno"), Tr("Przechodzi do następnego okna"),
         Tr("Następne okno"), QKeySequence(Qt::Key_F6)},
        {ID_PREV_PANE, Tr("Poprzednie okno"), Tr("Przechodzi do poprzedniego okna"),
         Tr("Poprzednie okno"), QKeySequence(Qt::SHIFT | Qt::Key_F6)},
        {ID_VIEW_TOOLBAR,
         Tr("Pasek &narzędzi"),
         Tr("Pokazuje lub ukrywa pasek narzędzi"),
         Tr("Pasek narzędzi"),
         {},
         true},
        {ID_VIEW_STATUS_BAR,
         Tr("Pasek &statusu"),
         Tr("Pokazuje lub ukrywa pasek statusu"),
         Tr("Pasek statusu"),
         {},
         true},
        {ID_OSC_START, Tr("&Start"), Tr("Start trybu oscyloskopowego"), Tr("Start oscyloskopu"),
         QKeySequence(Qt::CTRL | Qt::Key_T), true},
        {ID_REC_START,
         Tr("&Rejestracja"),
         Tr("Start trybu rejestracji"),
         Tr("Start rejestracji"),
         {},
         true},
        {ID_REGISTERED_PARAMS,
         Tr("&Zarejestrowane parametry ..."),
         Tr("Informacja o parametrach rejestracji"),
         Tr("Zarejestrowane parametry"),
         {}},
        {ID_AUTOSCALE, Tr("&Autoskala"), Tr("Wykonuje autoskalowanie dla aktywnego kanału"),
         Tr("Autoskalowanie"), QKeySequence(Qt::CTRL | Qt::Key_A)},
        {ID_ALIGN_SCALES, Tr("&Wyrównaj skale Y"),
         Tr("Wyrównuje skale Y ze skalą kanału aktywnego"), Tr("Wyrównuje skale Y"),
         QKeySequence(Qt::CTRL | Qt::Key_L)},
        {ID_LINK_SCALES, Tr("&Połącz skale Y"), Tr("Łączy lub rozłącza skale Y"),
         Tr("Łączy lub rozłącza skale Y"), QKeySequence(Qt::Key_0), true},
        {ID_FIX_X_ZERO,
         Tr("Ustal zero skali &X\tCtrl+X"),
         Tr("Ustala 0 skali X na lewej krawędzi wykresu"),
         Tr("Ustal zero skali X"),
         {}},
        {ID_FIX_Y_ZERO,
         Tr("Ustal zero skali &Y\tCtrl+Y"),
         Tr("Ustala zero skali Y na środku wykresu"),
         Tr("Ustal zero skali Y"),
         {}},
        {ID_GRID, Tr("&Siatka"), Tr("Włącza lub wyłącza siatkę"), Tr("Przełącza siatkę"), {}, true},
        {ID_ACQ_PARAMS, Tr("&Parametry akwizycji ..."), "", Tr("Parametry akwizycji"), {}},
        {ID_PROPERTIES,
         Tr("Właściw&ości ..."),
         Tr("Otwiera okno z ustawieniami aplikacji"),
         Tr("Właściwości"),
         {}},
        {ID_EXPORT_ASCII,
         Tr("formatu &ASCII"),
         Tr("Eksport danych do formatu ASCII"),
         Tr("Eksport danych do formatu ASCII"),
         {}},
        {ID_GENERATOR,
         Tr("&Generator"),
         Tr("Generacja podstawowych przebiegów okresowych"),
         Tr("Generator"),
         {}},
        {ID_FORMULA_OUTPUT,
         Tr("Generuj wg &wzoru wyjście analogowe..."),
         Tr("Generacja wyjścia analogowego wg wzorów"),
         Tr("Generuj wg wzoru wyjście analogowe"),
         {}},
        {ID_ANALOG_FILE_OUTPUT,
         Tr("Generuj z pliku wyjście &analogowe..."),
         Tr("Generacja wyjścia analogowego z pliku"),
         Tr("Generuj z pliku wyjście analogowe"),
         {}},
        {ID_DIGITAL_FILE_OUTPUT,
         Tr("Generuj z pliku wyjście &cyfrowe..."),
         Tr("Generacja wyjść cyfrowych z pliku"),
         Tr("Generuj z pliku wyjście cyfrowe"),
         {}},
        {ID_FILE_PRINT, Tr("&Drukuj...\tCtrl+P"), Tr("Drukuje aktywny dokument"), Tr("Drukuj"),
         QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ID_FILE_PRINT_DIRECT,
         Tr("Drukuj bez pytania"),
         Tr("Drukuje aktywny dokument z bieżącymi ustawieniami"),
         Tr("Drukuj"),
         {}},
        {ID_FILE_PRINT_PREVIEW,
         Tr("&Podgląd wydruku"),
         Tr("Wyświetla stronę tak, jak zostanie wydrukowana"),
         Tr("Podgląd wydruku"),
         {}},
        {ID_FILE_PRINT_SETUP,
         Tr("&Ustawienia druku"),
         Tr("Zmienia drukarkę i ustawienia wydruku"),
         Tr("Ustawienia druku"),
         {}},
        {ID_EDIT_COPY, Tr("&Kopiuj"), Tr("Kopiuje aktywny widok do bitmapy"), Tr("Kopiuj"), {}},
        {ID_EDIT_COPY_NEGATED, Tr("K&opiuj z negacją\tCtrl+C"),
         Tr("Kopiuje z negacją aktywny widok do bitmapy"), Tr("Kopiuj z negacją"),
         QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ID_MARKERS_WINDOW,
         Tr("Okno &znaczników"),
         Tr("Pokazuje lub ukrywa okno znaczników"),
         Tr("Okno znaczników"),
         {},
         true},
        {ID_SPECTRUM_WINDOW, Tr(SpectrumMenuText), Tr(SpectrumPrompt), Tr(SpectrumTitle), {}, true},
        {ID_MARKERS,
         Tr("&Znaczniki"),
         Tr("Włącza lub wyłącza znaczniki dla aktywnego kanału"),
         Tr("Znaczniki"),
         {},
         true},
        {ID_SWAP_CHANNELS,
         Tr("&Zamień aktywny kanał"),
         // Core's literal ends in a NUL: its data is a C string.
         Tr(std::string_view(SwapChannelsPrompt).data()),
         Tr("Zamień aktywny kanał"),
         {}},
        // The marker keys have no menu items.
        {ID_MARKER_LEFT_BACK, Tr("Lewy znacznik w lewo"), {}, {}, QKeySequence(Qt::Key_Left)},
        {ID_MARKER_LEFT_FORWARD, Tr("Lewy znacznik w prawo"), {}, {}, QKeySequence(Qt::Key_Right)},
        {ID_MARKER_RIGHT_BACK,
         Tr("Prawy znacznik w lewo"),
         {},
         {},
         QKeySequence(Qt::CTRL | Qt::Key_Left)},
        {ID_MARKER_RIGHT_FORWARD,
         Tr("Prawy znacznik w prawo"),
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

std::vector<MenuResource> BuildMenus() {
    auto top = [](const char* name, const char* title, bool needsDocument,
                  std::vector<MenuEntry> entries) {
        return MenuResource{QString::fromUtf8(name), QString::fromUtf8(Tr(title)), true,
                            needsDocument, std::move(entries)};
    };
    auto sub = [](const QString& name, const QString& title, std::vector<MenuEntry> entries) {
        return MenuResource{name, title, false, false, std::move(entries)};
    };
    const MenuEntry separator;
    auto submenu = [](const QString& name) { return MenuEntry{0, name}; };
    // The tools menu: the three channel submenus, then the scale commands.
    std::vector<MenuEntry> tools;
    std::vector<MenuResource> channelMenus;
    for (ChannelMenu kind :
         {ChannelMenu::Visibility, ChannelMenu::Active, ChannelMenu::RightAxis}) {
        const QString name = QStringLiteral("MenuChannels%1").arg(ChannelCommandId(kind, 0));
        tools.push_back(submenu(name));
        const std::string_view title = ChannelSubmenuTitle(kind);
        MenuResource channels =
            sub(name, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())), {});
        for (int i = 0; i < ChannelCount; ++i) {
            channels.Entries.push_back({static_cast<int>(ChannelCommandId(kind, i))});
        }
        channelMenus.push_back(std::move(channels));
    }
    for (int id : std::initializer_list<int>{ID_SWAP_CHANNELS, 0, ID_GRID, ID_AUTOSCALE,
                                             ID_ALIGN_SCALES, ID_LINK_SCALES, ID_FIX_X_ZERO,
                                             ID_FIX_Y_ZERO, ID_MARKERS, 0, ID_PROPERTIES}) {
        tools.push_back({id});
    }
    const QString exportMenu = QStringLiteral("MenuExport");
    const QString recentMenu = QStringLiteral("MenuRecentFiles");
    std::vector<MenuResource> menus = {
        top("MenuFile", texts::MenuFile, false,
            {{ID_FILE_NEW},
             {ID_FILE_OPEN},
             {ID_FILE_SAVE},
             {ID_FILE_SAVE_AS},
             separator,
             submenu(exportMenu),
             separator,
             {ID_FILE_PRINT},
             {ID_FILE_PRINT_PREVIEW},
             {ID_FILE_PRINT_SETUP},
             separator,
             submenu(recentMenu),
             separator,
             {ID_APP_EXIT}}),
        top("MenuEdit", texts::MenuEdit, true, {{ID_EDIT_COPY}, {ID_EDIT_COPY_NEGATED}}),
        top("MenuView", texts::MenuView, false,
            {{ID_VIEW_TOOLBAR}, {ID_VIEW_STATUS_BAR}, {ID_MARKERS_WINDOW}, {ID_SPECTRUM_WINDOW}}),
        top("MenuAcquisition", texts::MenuAcquisition, true,
            {{ID_OSC_START}, {ID_REC_START}, separator, {ID_ACQ_PARAMS}, {ID_REGISTERED_PARAMS}}),
        top("MenuGeneration", texts::MenuGeneration, true,
            {{ID_GENERATOR},
             separator,
             {ID_FORMULA_OUTPUT},
             {ID_ANALOG_FILE_OUTPUT},
             {ID_DIGITAL_FILE_OUTPUT}}),
        top("MenuTools", texts::MenuTools, true, std::move(tools)),
        top("MenuWindow", texts::MenuWindow, true,
            {{ID_WINDOW_NEW}, {ID_WINDOW_CASCADE}, {ID_WINDOW_TILE_HORZ}, {ID_WINDOW_ARRANGE}}),
        top("MenuHelp", texts::MenuHelp, false, {{ID_HELP_FINDER}, separator, {ID_APP_ABOUT}}),
        sub(exportMenu, QString::fromUtf8(Tr("&Eksport danych do ")), {{ID_EXPORT_ASCII}}),
        sub(recentMenu, QString::fromUtf8(Tr(texts::RecentFiles)), {}),
    };
    std::move(channelMenus.begin(), channelMenus.end(), std::back_inserter(menus));
    return menus;
}

// One table per language, made when first asked for: the texts are those of the language in use
// then, also in a process that changes its language.
template <typename Table>
const Table& InLanguage(Table (*build)()) {
    static std::map<std::string, Table> tables;
    auto [table, added] = tables.try_emplace(CurrentLanguage());
    if (added) {
        table->second = build();
    }
    return table->second;
}

}  // namespace

const std::vector<CommandInfo>& Commands() {
    return InLanguage(BuildCommands);
}

const std::vector<MenuResource>& MenuLayout() {
    return InLanguage(BuildMenus);
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
