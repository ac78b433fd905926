#pragma once

#include "base/translation.h"

// The texts of the three output dialogs and of the commands that open them.

namespace kresograf::texts {

// Shared by the three dialogs.
inline constexpr const char* StartOutput = N_("Start generacji");
inline constexpr const char* StopOutput = N_("Stop generacji");
inline constexpr const char* RateCaption = N_("Częstotliwość próbkowania:");
// The framework's application title: the caption of its own number checks.
inline constexpr const char* ValidationTitle = "Kresograf";

// "Generator".
inline constexpr const char* GeneratorTitle = N_("Generator");
inline constexpr const char* Sine = N_("Sinusoida");
inline constexpr const char* Square = N_("Prostokąt");
inline constexpr const char* Triangle = N_("Trójkąt");
inline constexpr const char* FrequencyCaption = N_("Częstotliwość:");
inline constexpr const char* Hertz = "Hz";
inline constexpr const char* Close = N_("Koniec");
inline constexpr const char* NotUnsignedText = N_("Proszę wprowadzić dodatnią liczbę całkowitą.");

// "Generacja przebiegów".
inline constexpr const char* FormulaTitle = N_("Generacja przebiegów");
inline constexpr const char* FormulaTypeCaption = N_("Typ wzoru:");
inline constexpr const char* FormulaLinear = "Y = A * X + B";
inline constexpr const char* FormulaLog = "Y = A * ln(B * X)";
inline constexpr const char* FormulaExp = "Y = A * exp(B * X)";
inline constexpr const char* WeightedSum = "X = W(1) * x(1) + W(2) * x(2) + ...";
inline constexpr const char* Differential = N_("Praca różnicowa:");
inline constexpr const char* CoefACaption = N_("Współczynnik A:");
inline constexpr const char* CoefBCaption = N_("Współczynnik B:");
inline constexpr const char* ColumnChannel = N_("Nr kanału");
inline constexpr const char* ColumnActive = N_("Aktywny");
inline constexpr const char* ColumnWeight = N_("Współczynnik");
inline constexpr const char* ActiveNo = N_("Nie");
inline constexpr const char* ActiveYes = N_("Tak");
inline constexpr const char* NotNumberText = N_("Wprowadź poprawną liczbę.");
inline constexpr const char* ConfigErrorTitle = N_("Błąd konfiguracji");
inline constexpr const char* PairGainText =
    N_("Kanały tworzące parę różnicową posiadają różne wzmocnienie.");
inline constexpr const char* NoDataTitle = N_("Brak danych");
inline constexpr const char* NoSourceText =
    N_("Żaden kanał nie został wybrany jako źródło danych.");

// "Generuj z pliku".
inline constexpr const char* FileOutputTitle = N_("Generuj z pliku");
inline constexpr const char* AnalogKind = N_("Wyjście analogowe");
inline constexpr const char* DigitalKind = N_("Wyjście cyfrowe");
inline constexpr const char* FileOutputClose = "OK";
inline constexpr const char* SampleFileFilter = N_("Pliki danych ASCII (*.dat)");
inline constexpr const char* AllFilesFilter = N_("Wszystkie pliki (*.*)");
inline constexpr const char* SampleFileExtension = "dat";
inline constexpr const char* FileErrorTitle = N_("Błąd pliku");
inline constexpr const char* FileOpenErrorText =
    N_("Błąd podczas próby otwarcia pliku do odczytu.");
inline constexpr const char* NoSamplesText = N_("Brak poprawnie odczytanych danych.");

// The "&Generacja" menu.
inline constexpr const char* MenuGeneration = N_("&Generacja");

}  // namespace kresograf::texts
