#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/spectrum.h"
#include "base/translation.h"

namespace kresograf {

// The tool window's title.
inline constexpr const char* SpectrumTitle = N_("Widmo");
// The main frame's command under "&Widok" that shows and hides the window: its menu text and
// its status-bar prompt (the tooltip is the title).
inline constexpr const char* SpectrumMenuText = N_("Wid&mo");
inline constexpr const char* SpectrumPrompt = N_("Pokazuje lub ukrywa okno widma");

// The window's name as the window shows it ("Hanna": the window's "Okno:" choice reads "Okno:
// Hanna"), and as the command line writes it ("hann", "hamming", "blackman", "rect").
std::string SpectrumWindowName(SpectrumWindow window);
std::string_view SpectrumWindowKey(SpectrumWindow window);
std::optional<SpectrumWindow> SpectrumWindowFromKey(std::string_view key);

// The command line's line of one peak: "kanał 1: 50.00 Hz, 2.828 V RMS".
std::string SpectrumPeakLine(int channel, const SpectrumPeak& peak);

// The peaks table: its headers, and a peak's cells (Hz with 2 decimals, V RMS with 3, dBV
// with 1).
std::array<std::string, 3> SpectrumTableHeaders();
std::array<std::string, 3> SpectrumPeakCells(const SpectrumPeak& peak);

// What the window says about the spectrum it shows:
// "Kanał 1: 0.000 … 2.000 s, liczba próbek 20000, rozdzielczość 0.500 Hz".
std::string SpectrumSummary(int channel, double fromSeconds, double toSeconds,
                            const Spectrum& spectrum);

// Why there is no spectrum. count is the number of samples asked for.
std::string SpectrumStatusText(SpectrumStatus status, std::size_t count);

// The window's other texts.
struct SpectrumLabels {
    static constexpr const char* Window = N_("Okno:");
    static constexpr const char* FrequencyAxis = N_("Oś częstotliwości:");
    static constexpr const char* Linear = N_("liniowa");
    static constexpr const char* Logarithmic = N_("logarytmiczna");
    static constexpr const char* Amplitude = N_("Amplituda:");
    static constexpr const char* Peaks = N_("Najsilniejsze prążki");
    static constexpr const char* Computing = N_("Obliczanie widma…");
    static constexpr const char* NoPlot =
        N_("Brak okna wykresu: widmo pokazuje aktywny kanał aktywnego okna wykresu.");
    static constexpr const char* NoChannel = N_("Brak danych: okno wykresu nie pokazuje kanału.");
};

}  // namespace kresograf
