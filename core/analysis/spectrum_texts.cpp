#include "analysis/spectrum_texts.h"

#include <algorithm>
#include <cmath>

#include "base/fixed_format.h"
#include "base/translation.h"

namespace kresograf {

std::string SpectrumWindowName(SpectrumWindow window) {
    switch (window) {
        case SpectrumWindow::Hann:
            return Tr("Hanna");
        case SpectrumWindow::Hamming:
            return Tr("Hamminga");
        case SpectrumWindow::Blackman:
            return Tr("Blackmana");
        case SpectrumWindow::Rectangular:
            break;
    }
    return Tr("prostokątne");
}

std::string_view SpectrumWindowKey(SpectrumWindow window) {
    switch (window) {
        case SpectrumWindow::Hann:
            return "hann";
        case SpectrumWindow::Hamming:
            return "hamming";
        case SpectrumWindow::Blackman:
            return "blackman";
        case SpectrumWindow::Rectangular:
            break;
    }
    return "rect";
}

std::optional<SpectrumWindow> SpectrumWindowFromKey(std::string_view key) {
    for (const SpectrumWindow window : SpectrumWindows) {
        if (SpectrumWindowKey(window) == key) {
            return window;
        }
    }
    return std::nullopt;
}

std::string SpectrumPeakLine(int channel, const SpectrumPeak& peak) {
    return FillText(
        Tr("kanał %s: %s Hz, %s V RMS"),
        {std::to_string(channel + 1), FormatFixed(peak.FrequencyHz, 2), FormatFixed(peak.Rms, 3)});
}

std::array<std::string, 3> SpectrumTableHeaders() {
    return {Tr("Częstotliwość [Hz]"), Tr("Amplituda [V RMS]"), Tr("Poziom [dBV]")};
}

std::array<std::string, 3> SpectrumPeakCells(const SpectrumPeak& peak) {
    return {FormatFixed(peak.FrequencyHz, 2), FormatFixed(peak.Rms, 3),
            FormatFixed(ToDbv(peak.Rms), 1)};
}

std::string SpectrumSummary(int channel, double fromSeconds, double toSeconds,
                            const Spectrum& spectrum) {
    // The resolution to three significant digits, at least to the thousandth of a hertz.
    const int decimals =
        spectrum.BinHz > 0.0
            ? std::clamp(2 - static_cast<int>(std::floor(std::log10(spectrum.BinHz))), 3, 9)
            : 3;
    return FillText(
        Tr("Kanał %s: %s … %s s, liczba próbek %s, rozdzielczość %s Hz"),
        {std::to_string(channel + 1), FormatFixed(fromSeconds, 3), FormatFixed(toSeconds, 3),
         std::to_string(spectrum.Samples), FormatFixed(spectrum.BinHz, decimals)});
}

std::string SpectrumStatusText(SpectrumStatus status, std::size_t count) {
    switch (status) {
        case SpectrumStatus::Ok:
            return {};
        case SpectrumStatus::TooFewSamples:
            return FillText(Tr("Za mało próbek do obliczenia widma: %s (potrzeba co najmniej %s)."),
                            {std::to_string(count), std::to_string(MinSpectrumSamples)});
        case SpectrumStatus::TooManySamples:
            return FillText(
                Tr("Za dużo próbek do obliczenia widma: %s (najwyżej %s). Zawęź przedział."),
                {std::to_string(count), std::to_string(MaxSpectrumSamples)});
        case SpectrumStatus::NoTimeBase:
            return Tr("Nie można obliczyć widma: próbki nie mają odstępu w czasie.");
        case SpectrumStatus::OutOfMemory:
            break;
    }
    return FillText(Tr("Brak pamięci do obliczenia widma z %s próbek."), {std::to_string(count)});
}

}  // namespace kresograf
