#pragma once

// The texts of the three output dialogs and of the commands that open them.

namespace kresograf::texts {

// Shared by the three dialogs.
inline constexpr const char* StartOutput = "Start generacji";
inline constexpr const char* StopOutput = "Stop generacji";
inline constexpr const char* RateCaption = "Częstotliwość próbkowania:";
// The framework's application title: the caption of its own number checks.
inline constexpr const char* ValidationTitle = "Kresograf";

// "Generator".
inline constexpr const char* GeneratorTitle = "Generator";
inline constexpr const char* Sine = "Sinusoida";
inline constexpr const char* Square = "Prostokąt";
inline constexpr const char* Triangle = "Trójkąt";
inline constexpr const char* FrequencyCaption = "Częstotliwość:";
inline constexpr const char* Hertz = "Hz";
inline constexpr const char* Close = "Koniec";
inline constexpr const char* NotUnsignedText = "Proszę wprowadzić dodatnią liczbę całkowitą.";

// "Generacja przebiegów".
inline constexpr const char* FormulaTitle = "Generacja przebiegów";
inline constexpr const char* FormulaTypeCaption = "Typ wzoru:";
inline constexpr const char* FormulaLinear = "Y = A * X + B";
inline constexpr const char* FormulaLog = "Y = A * ln(B * X)";
inline constexpr const char* FormulaExp = "Y = A * exp(B * X)";
inline constexpr const char* WeightedSum = "X = W(1) * x(1) + W(2) * x(2) + ...";
inline constexpr const char* Differential = "Praca różnicowa:";
inline constexpr const char* CoefACaption = "Współczynnik A:";
inline constexpr const char* CoefBCaption = "Współczynnik B:";
inline constexpr const char* ColumnChannel = "Nr kanału";
inline constexpr const char* ColumnActive = "Aktywny";
inline constexpr const char* ColumnWeight = "Współczynnik";
inline constexpr const char* ActiveNo = "Nie";
inline constexpr const char* ActiveYes = "Tak";
inline constexpr const char* NotNumberText = "Wprowadź poprawną liczbę.";
inline constexpr const char* ConfigErrorTitle = "Błąd konfiguracji";
inline constexpr const char* PairGainText =
    "Kanały tworzące parę różnicową posiadają różne wzmocnienie.";
inline constexpr const char* NoDataTitle = "Brak danych";
inline constexpr const char* NoSourceText = "Żaden kanał nie został wybrany jako źródło danych.";

// "Generuj z pliku".
inline constexpr const char* FileOutputTitle = "Generuj z pliku";
inline constexpr const char* AnalogKind = "Wyjście analogowe";
inline constexpr const char* DigitalKind = "Wyjście cyfrowe";
inline constexpr const char* FileOutputClose = "OK";
inline constexpr const char* SampleFileFilter = "Pliki danych ASCII (*.dat)";
inline constexpr const char* AllFilesFilter = "Wszystkie pliki (*.*)";
inline constexpr const char* SampleFileExtension = "dat";
inline constexpr const char* FileErrorTitle = "Błąd pliku";
inline constexpr const char* FileOpenErrorText = "Błąd podczas próby otwarcia pliku do odczytu.";
inline constexpr const char* NoSamplesText = "Brak poprawnie odczytanych danych.";

// The "&Generacja" menu.
inline constexpr const char* MenuGeneration = "&Generacja";

}  // namespace kresograf::texts
