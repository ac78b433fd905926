#include "acquisition/params_pages.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/fixed_format.h"
#include "base/rate_table.h"
#include "base/translation.h"

namespace kresograf {
namespace {

int ListedCount(const AcquisitionParams& params) {
    return std::clamp<int>(params.ChannelCount, 0, 8);
}

bool Listed(const AcquisitionParams& params, int channel) {
    for (int i = 0; i < ListedCount(params); ++i) {
        if ((params.Channels[i] & 63) == channel) {
            return true;
        }
    }
    return false;
}

void RebuildChannels(const std::vector<bool>& active, AcquisitionParams& params) {
    params.Channels = {};
    int8_t count = 0;
    for (std::size_t row = 0; row < active.size() && row < 8; ++row) {
        if (active[row]) {
            params.Channels[count++] = static_cast<int8_t>(row);
        }
    }
    params.ChannelCount = count;
}

// An analog trigger needs its channel in the scan list; without it the run starts at once.
void KeepTriggerListed(const AcquisitionParams& params, TriggerParams& trigger) {
    if (trigger.Type == TriggerAnalog && !Listed(params, trigger.Channel)) {
        trigger.Edge = EdgeAutomatic;
    }
}

// A rate in Hz worked out from a pair outside the table.
std::string FreeRate(double hz) {
    const double rounded = std::round(hz);
    if (rounded >= 1.0) {
        return FormatFixed(rounded, 0) + " Hz";
    }
    return "1 / " + FormatFixed(std::round(1.0 / hz), 0) + " Hz";
}

void EnableTriggerControls(TriggerPage& page) {
    const bool automatic = page.Edge == EdgeAutomatic;
    page.TypeEnabled = !automatic;
    page.ChannelEnabled = !automatic;
    page.SliderEnabled = !automatic && page.Type != TriggerDigital;
}

void FillListedChannels(TriggerPage& page, const AcquisitionParams& params) {
    page.Channels.clear();
    for (int i = 0; i < ListedCount(params); ++i) {
        const int channel = params.Channels[i] & 63;
        page.Channels.push_back({ChannelName(channel + 1), channel});
    }
}

void FillAllChannels(TriggerPage& page) {
    page.Channels.clear();
    for (int channel = 0; channel < 8; ++channel) {
        page.Channels.push_back({ChannelName(channel + 1), channel});
    }
}

int FindItem(const TriggerPage& page, int channel) {
    for (std::size_t i = 0; i < page.Channels.size(); ++i) {
        if (page.Channels[i].Channel == channel) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Item 0 becomes the trigger's channel; with no item the channel stays.
void SelectFirstItem(TriggerPage& page, TriggerParams& trigger) {
    if (page.Channels.empty()) {
        page.ChannelSelection = -1;
        return;
    }
    page.ChannelSelection = 0;
    trigger.Channel = static_cast<int8_t>(page.Channels[0].Channel);
}

}  // namespace

std::string ChannelName(int number) {
    return FillText(Tr("Kanał %s"), {std::to_string(number)});
}

std::string FormatEditValue(float value) {
    return FormatFixed(value, 3);
}

std::optional<float> ParseEditValue(std::string_view text) {
    text = text.substr(0, std::min<std::size_t>(text.size(), 31));
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const char first = text[at];
    // A plus sign is a number's own; from_chars takes only the minus.
    if (first == '+' && at + 1 < text.size() && text[at + 1] != '-') {
        ++at;
    }
    float value = 0.0f;
    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || !std::isfinite(value) || (value == 0.0f && first != '0')) {
        return std::nullopt;
    }
    for (const char* p = ptr; p != end; ++p) {
        if (*p != ' ' && *p != '\t') {
            return std::nullopt;
        }
    }
    return value;
}

UserMessage NotANumberMessage() {
    return UserMessage{Tr(params_texts::WindowTitle), Tr("Wprowadź poprawną liczbę."),
                       MessageIcon::Exclamation};
}

std::string DurationLabel(float seconds) {
    if (seconds < 1.0f) {
        return FormatFixed(seconds * 1000.0f, 2) + " ms";
    }
    if (seconds < 60.0f) {
        return FormatFixed(seconds, 2) + " s";
    }
    return FormatFixed(seconds / 60.0f, 2) + " min";
}

DurationInUnit DurationForEdit(float seconds) {
    if (seconds < 1.0f) {
        return {0, seconds * 1000.0f};
    }
    if (seconds < 60.0f) {
        return {1, seconds};
    }
    return {2, seconds / 60.0f};
}

float DurationSeconds(float value, int unit) {
    switch (unit) {
        case 0:
            return value / 1000.0f;
        case 2:
            return value * 60.0f;
        default:
            return value;
    }
}

float BlockDurationSeconds(const AcquisitionParams& params) {
    // Widened, so runs longer than 2^32 / 8 000 000 s of conversions show their real length.
    const uint64_t product = uint64_t{params.TotalSamples} * params.Divisor;
    return static_cast<float>(product) / static_cast<float>(CardClockHz);
}

std::string BlockRateLabel(const AcquisitionParams& params) {
    const int row = FindRateRow(params.Divisor, params.Prescaler);
    if (row >= 0) {
        return RateLabel(RateTable()[static_cast<std::size_t>(row)]);
    }
    if (params.Divisor == 0 || params.Prescaler == 0) {
        return "-";
    }
    return FreeRate(static_cast<double>(CardClockHz) /
                    (static_cast<double>(params.Divisor) * params.Prescaler));
}

bool LoadGeneral(GeneralPage& page, const AcquisitionParams& params) {
    page.Differential = params.SingleEnded != 1;
    page.Active.assign(page.Differential ? 4 : 8, false);
    for (int i = 0; i < ListedCount(params); ++i) {
        // A block from elsewhere may list a channel with no row here; it is not shown.
        const auto row = static_cast<std::size_t>(params.Channels[i] & 63);
        if (row < page.Active.size()) {
            page.Active[row] = true;
        }
    }
    page.DurationSeconds = BlockDurationSeconds(params);
    page.DurationText = DurationLabel(page.DurationSeconds);
    page.RateIndex = FindRateRow(params.Divisor, params.Prescaler);
    page.RateText = BlockRateLabel(params);
    if (params.Running != 0) {
        return false;
    }
    page.RateSelection = page.RateIndex;
    const DurationInUnit shown = DurationForEdit(page.DurationSeconds);
    page.Unit = shown.Unit;
    page.DurationValue = shown.Value;
    return true;
}

void StoreGeneral(const GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger) {
    params.SingleEnded = page.Differential ? 0 : 1;
    if (page.RateIndex >= 0 && page.RateIndex < static_cast<int>(RateCount)) {
        const RateEntry& row = RateTable()[static_cast<std::size_t>(page.RateIndex)];
        params.Divisor = row.Divisor;
        params.Prescaler = row.Prescaler;
    }
    RebuildChannels(page.Active, params);
    KeepTriggerListed(params, trigger);
    RecomputeTotalSamples(params, page.DurationSeconds);
}

void ApplyRate(GeneralPage& page, AcquisitionParams& params) {
    if (page.RateSelection < 0 || page.RateSelection >= static_cast<int>(RateCount)) {
        return;
    }
    page.RateIndex = page.RateSelection;
    const RateEntry& row = RateTable()[static_cast<std::size_t>(page.RateIndex)];
    params.Divisor = row.Divisor;
    params.Prescaler = row.Prescaler;
    RecomputeTotalSamples(params, page.DurationSeconds);
    page.RateText = RateLabel(row);
}

void ApplyDuration(GeneralPage& page, AcquisitionParams& params, std::optional<float> typed) {
    if (typed) {
        page.DurationValue = *typed;
    }
    float seconds = DurationSeconds(page.DurationValue, page.Unit);
    // A negative duration asks for the shortest run.
    if (!(seconds >= 0.0f)) {
        seconds = 0.0f;
    }
    page.DurationSeconds = seconds;
    RecomputeTotalSamples(params, seconds);
    page.DurationText = DurationLabel(seconds);
}

void SetDifferential(GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger,
                     bool on) {
    page.Differential = on;
    params.SingleEnded = on ? 0 : 1;
    if (on) {
        page.Active.resize(4);
        RebuildChannels(page.Active, params);
        KeepTriggerListed(params, trigger);
    } else {
        page.Active.resize(8, false);
    }
}

void ChannelsToggled(const GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger) {
    RebuildChannels(page.Active, params);
    KeepTriggerListed(params, trigger);
}

int SliderFromVolts(float volts) {
    const float position = volts * 100.0f + 500.0f;
    if (!(position > 0.0f)) {
        return 0;
    }
    return position >= 1000.0f ? 1000 : static_cast<int>(position);
}

float VoltsFromSlider(int position) {
    return static_cast<float>(position - 500) / 100.0f;
}

void LoadTrigger(TriggerPage& page, const AcquisitionParams& params, TriggerParams& trigger) {
    page.Edge = trigger.Edge;
    page.Type = trigger.Type;
    if (trigger.Type != TriggerDigital) {
        FillListedChannels(page, params);
        page.ChannelSelection = FindItem(page, trigger.Channel);
        if (page.ChannelSelection < 0) {
            trigger.Edge = EdgeAutomatic;
            page.Edge = EdgeAutomatic;
            SelectFirstItem(page, trigger);
        }
    } else {
        FillAllChannels(page);
        page.ChannelSelection = FindItem(page, trigger.Channel);
    }
    page.ThresholdVolts = trigger.ThresholdVolts;
    page.SliderPos = SliderFromVolts(trigger.ThresholdVolts);
    EnableTriggerControls(page);
    if (params.Running != 0) {
        page.EdgeEnabled = false;
        page.TypeEnabled = false;
        page.ChannelEnabled = false;
        page.SliderEnabled = false;
    } else {
        page.EdgeEnabled = true;
    }
}

void StoreTrigger(const TriggerPage& page, TriggerParams& trigger) {
    if (page.ChannelSelection >= 0 &&
        page.ChannelSelection < static_cast<int>(page.Channels.size())) {
        trigger.Channel = static_cast<int8_t>(page.Channels[page.ChannelSelection].Channel);
    }
    if (page.Type >= 0) {
        trigger.Type = static_cast<int8_t>(page.Type);
    }
    if (page.Edge >= 0) {
        trigger.Edge = static_cast<int8_t>(page.Edge);
    }
    trigger.ThresholdVolts = page.ThresholdVolts;
}

void TriggerChannelChosen(TriggerPage& page, TriggerParams& trigger, int index) {
    if (index < 0 || index >= static_cast<int>(page.Channels.size())) {
        return;
    }
    page.ChannelSelection = index;
    trigger.Channel = static_cast<int8_t>(page.Channels[index].Channel);
}

void TriggerTypeChosen(TriggerPage& page, const AcquisitionParams& params, TriggerParams& trigger,
                       int type) {
    page.Type = type;
    trigger.Type = static_cast<int8_t>(type);
    if (type == TriggerDigital) {
        page.SliderEnabled = false;
        FillAllChannels(page);
    } else {
        page.SliderEnabled = true;
        FillListedChannels(page, params);
    }
    SelectFirstItem(page, trigger);
}

void TriggerEdgeChosen(TriggerPage& page, TriggerParams& trigger, int edge) {
    page.Edge = edge;
    trigger.Edge = static_cast<int8_t>(edge);
    EnableTriggerControls(page);
    if (page.Type == TriggerAnalog && FindItem(page, trigger.Channel) < 0) {
        SelectFirstItem(page, trigger);
    }
}

void TriggerSliderMoved(TriggerPage& page, TriggerParams& trigger, int position) {
    page.SliderPos = position;
    page.ThresholdVolts = VoltsFromSlider(position);
    trigger.ThresholdVolts = page.ThresholdVolts;
}

}  // namespace kresograf
