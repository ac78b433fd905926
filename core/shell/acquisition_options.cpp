#include "shell/acquisition_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/rate_table.h"
#include "base/settings_record.h"
#include "base/translation.h"

namespace kresograf {
namespace {

bool ParseInt(std::string_view text, long long& value, int base = 10) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseFloat(std::string_view text, float& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

}  // namespace

std::optional<std::size_t> ParseRate(std::string_view text) {
    const auto& table = RateTable();
    if (text.size() > 2 && text.substr(0, 2) == "1/") {
        long long period = 0;
        if (!ParseInt(text.substr(2), period)) {
            return std::nullopt;
        }
        for (std::size_t i = UnprescaledRateCount; i < RateCount; ++i) {
            if (table[i].Prescaler / table[i].Frequency == period) {
                return i;
            }
        }
        return std::nullopt;
    }
    long long hz = 0;
    if (!ParseInt(text, hz)) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < UnprescaledRateCount; ++i) {
        if (table[i].Frequency == hz) {
            return i;
        }
    }
    return std::nullopt;
}

bool ParseCardKind(std::string_view value, CardKind& kind, std::string& error) {
    if (value == "simulated") {
        kind = CardKind::Simulated;
        return true;
    }
    if (value == "ports") {
        kind = CardKind::Ports;
        return true;
    }
    error =
        FillText(Tr("Niepoprawny rodzaj karty: \"%s\" (dozwolone: simulated, ports)."), {value});
    return false;
}

bool ParseCardAddress(std::string_view value, uint32_t& address, std::string& error) {
    long long parsed = -1;
    const bool hex = value.size() > 2 && (value.substr(0, 2) == "0x" || value.substr(0, 2) == "0X");
    const bool ok = hex ? ParseInt(value.substr(2), parsed, 16) : ParseInt(value, parsed);
    // The card decodes ten bytes of the 16-bit I/O space.
    if (!ok || parsed < 0 || parsed > 0xFFF6) {
        error = FillText(Tr("Niepoprawny adres karty: \"%s\" (np. 0x100)."), {value});
        return false;
    }
    address = static_cast<uint32_t>(parsed);
    return true;
}

bool AcquisitionOptions::IsAcquisitionOption(std::string_view name) {
    return TakesValue(name) || name == "--differential";
}

bool AcquisitionOptions::TakesValue(std::string_view name) {
    static constexpr std::string_view withValue[] = {
        "--rate",         "--duration",        "--channels",  "--gain", "--trigger",
        "--trigger-type", "--trigger-channel", "--threshold", "--card", "--address"};
    return std::find(std::begin(withValue), std::end(withValue), name) != std::end(withValue);
}

bool AcquisitionOptions::Take(std::string_view name, std::string_view value, std::string& error) {
    if (name == "--differential") {
        differential_ = true;
        return true;
    }
    if (name == "--rate") {
        const auto row = ParseRate(value);
        if (!row) {
            error = FillText(Tr("Nieznana częstotliwość: \"%s\" (dozwolone: 95000 … 50 Hz z tabeli "
                                "albo 1/1, 1/2, 1/3, 1/4, 1/10, 1/30)."),
                             {value});
            return false;
        }
        rateRow_ = *row;
        return true;
    }
    if (name == "--duration") {
        if (!ParseFloat(value, duration_) || duration_ < 0.0f) {
            error =
                FillText(Tr("Niepoprawny czas trwania: \"%s\" (liczba sekund, np. 2.5)."), {value});
            return false;
        }
        return true;
    }
    if (name == "--channels") {
        channels_ = std::string(value);
        return true;
    }
    if (name == "--gain") {
        const std::size_t eq = value.find('=');
        long long input = 0;
        const std::string_view gain = eq == value.npos ? "" : value.substr(eq + 1);
        if (eq == value.npos || !ParseInt(value.substr(0, eq), input) || input < 1 || input > 8 ||
            (gain != "x1" && gain != "x10")) {
            error = FillText(
                Tr("Niepoprawne wzmocnienie: \"%s\" (postać N=x1 lub N=x10, N = 1..8)."), {value});
            return false;
        }
        highGain_[input - 1] = gain == "x10";
        return true;
    }
    if (name == "--trigger") {
        if (value == "auto") {
            edge_ = EdgeAutomatic;
        } else if (value == "rising") {
            edge_ = EdgeRising;
        } else if (value == "falling") {
            edge_ = EdgeFalling;
        } else {
            error = FillText(
                Tr("Niepoprawne zbocze wyzwalania: \"%s\" (dozwolone: auto, rising, falling)."),
                {value});
            return false;
        }
        return true;
    }
    if (name == "--trigger-type") {
        if (value == "analog") {
            type_ = TriggerAnalog;
        } else if (value == "digital") {
            type_ = TriggerDigital;
        } else {
            error = FillText(Tr("Niepoprawny typ wyzwalania: \"%s\" (dozwolone: analog, digital)."),
                             {value});
            return false;
        }
        return true;
    }
    if (name == "--trigger-channel") {
        long long channel = 0;
        if (!ParseInt(value, channel) || channel < 1 || channel > 8) {
            error = FillText(Tr("Niepoprawny kanał wyzwalania: \"%s\" (1..8)."), {value});
            return false;
        }
        triggerChannel_ = static_cast<int>(channel);
        return true;
    }
    if (name == "--threshold") {
        if (!ParseFloat(value, threshold_) || threshold_ < -5.0f || threshold_ > 5.0f) {
            error =
                FillText(Tr("Niepoprawny próg wyzwalania: \"%s\" (wolty, od -5 do 5)."), {value});
            return false;
        }
        return true;
    }
    if (name == "--card") {
        return ParseCardKind(value, Card.Kind, error);
    }
    if (name == "--address") {
        uint32_t address = 0;
        if (!ParseCardAddress(value, address, error)) {
            return false;
        }
        Card.Address = address;
        return true;
    }
    error = FillText(Tr("Nieznana opcja: %s."), {name});
    return false;
}

bool AcquisitionOptions::Finish(AcquisitionParams& params, TriggerParams& trigger,
                                SettingsRecord& settings, std::string& error) const {
    const int maxChannel = differential_ ? 4 : 8;
    std::vector<int> channels;
    for (std::string_view part : Split(channels_, ',')) {
        long long channel = 0;
        if (!ParseInt(part, channel) || channel < 1 || channel > maxChannel) {
            error = FillText(
                differential_ ? Tr("Niepoprawna lista kanałów: \"%s\" (w pracy różnicowej pary "
                                   "1..4, np. 1,2).")
                              : Tr("Niepoprawna lista kanałów: \"%s\" (kanały 1..8, np. 1,3,4)."),
                {channels_});
            return false;
        }
        channels.push_back(static_cast<int>(channel) - 1);
    }
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());

    const RateEntry& row = RateTable()[rateRow_];
    params = AcquisitionParams{};
    params.Divisor = row.Divisor;
    params.Prescaler = row.Prescaler;
    params.SingleEnded = differential_ ? 0 : 1;
    params.ChannelCount = static_cast<int8_t>(channels.size());
    for (std::size_t i = 0; i < channels.size(); ++i) {
        params.Channels[i] = static_cast<int8_t>(channels[i]);
    }
    RecomputeTotalSamples(params, duration_);

    trigger = TriggerParams{};
    trigger.Edge = edge_;
    trigger.Type = type_;
    trigger.ThresholdVolts = threshold_;
    trigger.Channel = static_cast<int8_t>(triggerChannel_ - 1);
    if (type_ == TriggerAnalog && triggerChannel_ > maxChannel) {
        error = FillText(Tr("Niepoprawny kanał wyzwalania: %s (w pracy różnicowej pary 1..4)."),
                         {std::to_string(triggerChannel_)});
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (highGain_[i]) {
            settings.ChannelGain[i] = *highGain_[i]
                                          ? static_cast<uint8_t>(settings.ChannelGain[i] | 0x80)
                                          : static_cast<uint8_t>(settings.ChannelGain[i] & 0x7F);
        }
    }
    if (Card.Address) {
        settings.PortAddress = *Card.Address;
    }
    return true;
}

}  // namespace kresograf
