#pragma once

// The texts the desktop program's shell shows: window titles, the status
// bar, the about box, the document type and the framework-like prompts of opening and saving.

namespace kresograf::texts {

inline constexpr const char* MainTitle = "Kresograf dla QB730";
inline constexpr const char* DocumentName = "Kresograf";
// The framework's application title: the caption of its own prompts (the save-changes question).
inline constexpr const char* ApplicationTitle = "Kresograf";
inline constexpr const char* FileFilter = "Pliki Danych (*.kgd)";
inline constexpr const char* FileExtension = "kgd";
inline constexpr const char* DocumentTypeName = "Kresograf Dokument";

inline constexpr const char* IdlePrompt = "Aby uzyskać pomoc wciśnj F1";
inline constexpr const char* CapsIndicator = "CAP";
inline constexpr const char* NumIndicator = "NUM";
inline constexpr const char* ScrollIndicator = "SCRL";

inline constexpr const char* AboutTitle = "O Aplikacji...";
inline constexpr const char* AboutVersion = "Kresograf dla QB730 wer 2.0";
inline constexpr const char* AboutLine1 = "Program przeznaczony do współpracy ";
inline constexpr const char* AboutLine2 = "z kartą pomiarową QB730";
inline constexpr const char* Ok = "OK";

inline constexpr const char* HelpFileName = "Kresograf dla QB730.chm";
inline constexpr const char* HelpErrorTitle = "Błąd";
inline constexpr const char* HelpErrorText =
    "Nie mogę otworzyć pliku pomocy Kresograf dla QB730.chm.";

inline constexpr const char* MenuFile = "&Plik";
inline constexpr const char* MenuEdit = "&Edycja";
inline constexpr const char* MenuView = "&Widok";
inline constexpr const char* MenuAcquisition = "&Akwizycja";
inline constexpr const char* MenuTools = "&Narzędzia";
inline constexpr const char* MenuWindow = "O&kno";
inline constexpr const char* MenuHelp = "P&omoc";
inline constexpr const char* RecentFiles = "Ostatnio otwierane";
inline constexpr const char* RecentFilePrompt = "Otwiera ten dokument";

inline constexpr const char* OpenDialogTitle = "Otwórz";
inline constexpr const char* SaveDialogTitle = "Zapisz jako";
// %1 is the document's title.
inline constexpr const char* SaveChangesText = "Czy zapisać zmiany w dokumencie %1?";
inline constexpr const char* Yes = "&Tak";
inline constexpr const char* No = "&Nie";
inline constexpr const char* Cancel = "Anuluj";
// %1 is the file name.
inline constexpr const char* OpenFailedTitle = "Błąd otwarcia";
inline constexpr const char* FileMissingText = "Nie można otworzyć pliku %1.";

inline constexpr const char* NoDisplayText =
    "Brak ekranu graficznego (zmienna DISPLAY nie jest ustawiona).";
inline constexpr const char* CardOpenFailedTitle = "Błąd karty";
inline constexpr const char* UsageText =
    "Użycie: kresograf [PLIK.kgd] [--card simulated|ports] [--address ADRES] [--no-splash]\n"
    "       kresograf --render PLIK.kgd WYNIK.png [--size SZEROKOŚĆxWYSOKOŚĆ]\n"
    "       kresograf --print PLIK.kgd WYNIK.pdf [--size A4|Letter]";
inline constexpr const char* RenderFailedText = "Nie można zapisać obrazu %1.";
inline constexpr const char* PrintFailedText = "Nie można zapisać pliku %1.";

}  // namespace kresograf::texts
