#include "document/registered_params.h"
#include "base/fixed_format.h"

#include <charconv>
#include <cmath>

#include "base/rate_table.h"
#include "document/kgd_file.h"

namespace kresograf {
namespace {

// F / n to the nearest integer, halves away from zero; n > 0.
uint64_t DivideRounded(uint64_t f, uint64_t n) {
    return (2 * f + n) / (2 * n);
}

// A rate in Hz worked out from a pair outside the table.
std::string FreeRate(double hz) {
    const double rounded = std::round(hz);
    if (rounded >= 1.0) {
        return FormatFixed(rounded, 0) + " Hz";
    }
    return "1 / " + FormatFixed(std::round(1.0 / hz), 0) + " Hz";
}

}  // namespace

std::array<std::string, 9> RegisteredParamsTexts(uint32_t scans, const AcquisitionParams& params,
                                                 const TriggerParams& trigger) {
    std::array<std::string, 9> lines;
    const int row = FindRateRow(params.Divisor, params.Prescaler);
    const RateEntry* entry = row >= 0 ? &RateTable()[static_cast<std::size_t>(row)] : nullptr;
    const uint32_t divisor = entry ? entry->Divisor : params.Divisor;
    const uint32_t prescaler = entry ? entry->Prescaler : params.Prescaler;
    const int channels = params.ChannelCount;

    float seconds = 0.0f;
    if (params.TotalSamples >= 2) {
        seconds = static_cast<float>(static_cast<double>(params.TotalSamples - 2) * divisor /
                                     CardClockHz * prescaler);
    }
    if (seconds < 1.0f) {
        lines[LineDuration] = "Czas akwizycji: " + FormatFixed(seconds * 1000.0f, 2) + " ms";
    } else if (seconds < 60.0f) {
        lines[LineDuration] = "Czas akwizycji: " + FormatFixed(seconds, 2) + " s";
    } else {
        lines[LineDuration] = "Czas akwizycji: " + FormatFixed(seconds / 60.0f, 2) + " min";
    }

    const std::string rate = "Częstotliwość próbkowania: ";
    const std::string channelRate = "Częstotliwość próbkowania na kanał: ";
    if (entry && entry->Prescaler == 1) {
        lines[LineRate] = rate + std::to_string(entry->Frequency) + " Hz";
        lines[LineChannelRate] =
            channelRate + (channels > 0 ? std::to_string(DivideRounded(
                                              entry->Frequency, static_cast<uint64_t>(channels))) +
                                              " Hz"
                                        : "-");
    } else if (entry) {
        const uint32_t period = entry->Prescaler / entry->Frequency;
        lines[LineRate] = rate + "1 / " + std::to_string(period) + " Hz";
        lines[LineChannelRate] =
            channelRate +
            (channels > 0 ? "1 / " + std::to_string(uint64_t{period} * channels) + " Hz" : "-");
    } else if (divisor == 0 || prescaler == 0) {
        lines[LineRate] = rate + "-";
        lines[LineChannelRate] = channelRate + "-";
    } else {
        const double hz =
            static_cast<double>(CardClockHz) / (static_cast<double>(divisor) * prescaler);
        lines[LineRate] = rate + FreeRate(hz);
        lines[LineChannelRate] = channelRate + (channels > 0 ? FreeRate(hz / channels) : "-");
    }

    lines[LineChannelCount] = "Liczba aktywnych kanałów: " + std::to_string(channels);

    if (trigger.Edge == EdgeAutomatic) {
        lines[LineTriggerType] = "Wyzwalanie automatyczne";
        lines[LineTriggerChannel] = "Kanał: -";
        lines[LineTriggerEdge] = "Zbocze: -";
        lines[LineTriggerThreshold] = "Próg: -";
    } else {
        lines[LineTriggerType] = trigger.Type != 0 ? "Wyzwalanie cyfrowe" : "Wyzwalanie analogowe";
        lines[LineTriggerChannel] = "Kanał: " + std::to_string(trigger.Channel + 1);
        lines[LineTriggerEdge] = trigger.Edge != 0 ? "Zbocze: opadające" : "Zbocze: narastające";
        lines[LineTriggerThreshold] = "Próg: " + FormatFixed(trigger.ThresholdVolts, 3) + " V";
    }

    lines[LineFileSize] =
        channels < 0 ? std::string("Rozmiar pliku: -")
                     : "Rozmiar pliku: " +
                           std::to_string(uint64_t{scans} * static_cast<uint64_t>(channels) * 4 +
                                          FileHeaderSize) +
                           " bajtów";
    return lines;
}

std::array<std::string, 9> RegisteredParamsTexts(const CZefraKrgDoc& doc) {
    return RegisteredParamsTexts(doc.SampleCount[doc.CurrentSet.load()], doc.RegisteredParams(),
                                 doc.RegisteredTrigger());
}

}  // namespace kresograf
