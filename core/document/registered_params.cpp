#include "document/registered_params.h"

#include "base/fixed_format.h"

#include <charconv>
#include <cmath>

#include "base/rate_table.h"
#include "base/translation.h"
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
        // TotalSamples counts the card's conversions, each Divisor ticks of its clock: the
        // prescaler is already in the count.
        seconds = static_cast<float>(static_cast<double>(params.TotalSamples - 2) * divisor /
                                     CardClockHz);
    }
    std::string duration;
    if (seconds < 1.0f) {
        duration = FormatFixed(seconds * 1000.0f, 2) + " ms";
    } else if (seconds < 60.0f) {
        duration = FormatFixed(seconds, 2) + " s";
    } else {
        duration = FormatFixed(seconds / 60.0f, 2) + " min";
    }
    lines[LineDuration] = FillText(Tr("Czas akwizycji: %s"), {duration});

    std::string rate;
    std::string channelRate = "-";
    if (entry && entry->Prescaler == 1) {
        rate = std::to_string(entry->Frequency) + " Hz";
        if (channels > 0) {
            channelRate =
                std::to_string(DivideRounded(entry->Frequency, static_cast<uint64_t>(channels))) +
                " Hz";
        }
    } else if (entry) {
        const uint32_t period = entry->Prescaler / entry->Frequency;
        rate = "1 / " + std::to_string(period) + " Hz";
        if (channels > 0) {
            channelRate = "1 / " + std::to_string(uint64_t{period} * channels) + " Hz";
        }
    } else if (divisor == 0 || prescaler == 0) {
        rate = "-";
    } else {
        const double hz =
            static_cast<double>(CardClockHz) / (static_cast<double>(divisor) * prescaler);
        rate = FreeRate(hz);
        if (channels > 0) {
            channelRate = FreeRate(hz / channels);
        }
    }
    lines[LineRate] = FillText(Tr("Częstotliwość próbkowania: %s"), {rate});
    lines[LineChannelRate] = FillText(Tr("Częstotliwość próbkowania na kanał: %s"), {channelRate});

    lines[LineChannelCount] =
        FillText(Tr("Liczba aktywnych kanałów: %s"), {std::to_string(channels)});

    if (trigger.Edge == EdgeAutomatic) {
        lines[LineTriggerType] = Tr("Wyzwalanie automatyczne");
        lines[LineTriggerChannel] = FillText(Tr("Kanał: %s"), {"-"});
        lines[LineTriggerEdge] = Tr("Zbocze: -");
        lines[LineTriggerThreshold] = Tr("Próg: -");
    } else {
        lines[LineTriggerType] =
            trigger.Type != 0 ? Tr("Wyzwalanie cyfrowe") : Tr("Wyzwalanie analogowe");
        lines[LineTriggerChannel] =
            FillText(Tr("Kanał: %s"), {std::to_string(trigger.Channel + 1)});
        lines[LineTriggerEdge] =
            trigger.Edge != 0 ? Tr("Zbocze: opadające") : Tr("Zbocze: narastające");
        lines[LineTriggerThreshold] =
            FillText(Tr("Próg: %s V"), {FormatFixed(trigger.ThresholdVolts, 3)});
    }

    lines[LineFileSize] =
        channels < 0
            ? std::string(Tr("Rozmiar pliku: -"))
            : FillText(Tr("Rozmiar pliku: %s bajtów"),
                       {std::to_string(uint64_t{scans} * static_cast<uint64_t>(channels) * 4 +
                                       FileHeaderSize)});
    return lines;
}

std::string RegisteredTriggerText(const TriggerParams& trigger) {
    if (trigger.Edge == EdgeAutomatic) {
        return "Wyzwalanie automatyczne";
    }
    return std::string(trigger.Type != 0 ? "Wyzwalanie cyfrowe" : "Wyzwalanie analogowe") +
           "; Kanał: " + std::to_string(trigger.Channel + 1) +
           "; Zbocze: " + (trigger.Edge != 0 ? "opadające" : "narastające") +
           "; Próg: " + FormatFixed(trigger.ThresholdVolts, 3) + " V";
}

std::array<std::string, 9> RegisteredParamsTexts(const CZefraKrgDoc& doc) {
    return RegisteredParamsTexts(doc.SampleCount[doc.CurrentSet.load()], doc.RegisteredParams(),
                                 doc.RegisteredTrigger());
}

RegisteredParamsRequest RegisteredParamsRequestOf(const CZefraKrgDoc& doc) {
    const uint32_t current = doc.CurrentSet.load();
    return RegisteredParamsRequest{.Scans = doc.SampleCount[current],
                                   .OtherScans = doc.SampleCount[1 - current],
                                   .Params = doc.RegisteredParams(),
                                   .Trigger = doc.RegisteredTrigger()};
}

}  // namespace kresograf
