#pragma once

#include "base/translation.h"

// The texts the desktop program's shell shows: window titles, the status
// bar, the about box, the document type and the framework-like prompts of opening and saving.

namespace kresograf::texts {

inline constexpr const char* MainTitle = N_("Kresograf dla QB730");
inline constexpr const char* DocumentName = "Kresograf";
// The framework's application title: the caption of its own prompts (the save-changes question).
inline constexpr const char* ApplicationTitle = "Kresograf";
inline constexpr const char* FileFilter = N_("Pliki Danych (*.kgd)");
inline constexpr const char* FileExtension = "kgd";
inline constexpr const char* DocumentTypeName = N_("Kresograf Dokument");

inline constexpr const char* IdlePrompt = N_("Aby uzyskać pomoc wciśnj F1");
inline constexpr const char* CapsIndicator = "CAP";
inline constexpr const char* NumIndicator = "NUM";
inline constexpr const char* ScrollIndicator = "SCRL";

inline constexpr const char* AboutTitle = N_("O Aplikacji...");
inline constexpr const char* AboutVersion = N_("Kresograf dla QB730 wer 2.0");
inline constexpr const char* AboutLine1 = N_("Program przeznaczony do współpracy ");
inline constexpr const char* AboutLine2 = N_("z kartą pomiarową QB730");
inline constexpr const char* Ok = "OK";

inline constexpr const char* HelpFileName = "Kresograf dla QB730.chm";
inline constexpr const char* HelpErrorTitle = N_("Błąd");
inline constexpr const char* HelpErrorText =
    N_("Nie mogę otworzyć pliku pomocy Kresograf dla QB730.chm.");

inline constexpr const char* MenuFile = N_("&Plik");
inline constexpr const char* MenuEdit = N_("&Edycja");
inline constexpr const char* MenuView = N_("&Widok");
inline constexpr const char* MenuAcquisition = N_("&Akwizycja");
inline constexpr const char* MenuTools = N_("&Narzędzia");
inline constexpr const char* MenuWindow = N_("O&kno");
inline constexpr const char* MenuHelp = N_("P&omoc");
inline constexpr const char* RecentFiles = N_("Ostatnio otwierane");
inline constexpr const char* RecentFilePrompt = N_("Otwiera ten dokument");

inline constexpr const char* OpenDialogTitle = N_("Otwórz");
inline constexpr const char* SaveDialogTitle = N_("Zapisz jako");
// %1 is the document's title.
inline constexpr const char* SaveChangesText = N_("Czy zapisać zmiany w dokumencie %1?");
inline constexpr const char* Yes = N_("&Tak");
inline constexpr const char* No = N_("&Nie");
inline constexpr const char* Cancel = N_("Anuluj");
// %1 is the file name.
inline constexpr const char* OpenFailedTitle = N_("Błąd otwarcia");
inline constexpr const char* FileMissingText = N_("Nie można otworzyć pliku %1.");

// A recording the program left unsaved when it ended unexpectedly; %1 is its file.
inline constexpr const char* InterruptedRecordingText =
    N_("Program zakończył się nieoczekiwanie, zanim zapisano rejestrację:\n%1\n\n"
       "Czy otworzyć ją teraz? Odpowiedź „Nie” usuwa ten plik.");
inline constexpr const char* RemoveFailedText = N_("Nie można usunąć pliku %1.");
// The progress of a save that copies the file; %1 is the file name.
inline constexpr const char* SavingText = N_("Zapisywanie pliku %1...");

inline constexpr const char* NoDisplayText =
    N_("Brak ekranu graficznego (zmienna DISPLAY nie jest ustawiona).");
inline constexpr const char* CardOpenFailedTitle = N_("Błąd karty");
inline constexpr const char* UsageText =
    N_("Użycie: kresograf [PLIK.kgd] [--card simulated|ports] [--address ADRES]\n"
       "                 [--no-splash|--nosplash]\n"
       "       kresograf --render PLIK.kgd WYNIK.png [--size SZEROKOŚĆxWYSOKOŚĆ]\n"
       "       kresograf --render-spectrum PLIK.kgd WYNIK.png [--channel N]\n"
       "                 [--size SZEROKOŚĆxWYSOKOŚĆ]\n"
       "       kresograf --print PLIK.kgd WYNIK.pdf [--size A4|Letter]");
inline constexpr const char* RenderFailedText = N_("Nie można zapisać obrazu %1.");
inline constexpr const char* PrintFailedText = N_("Nie można zapisać pliku %1.");

}  // namespace kresograf::texts
