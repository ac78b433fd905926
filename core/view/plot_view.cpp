#include "view/plot_view.h"

#include <algorithm>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

PlotView::PlotView(CZefraKrgDoc& doc, const SettingsRecord* settings)
    : doc_(doc), settings_(settings) {
    YMin.fill(-500);
    YMax.fill(500);
    RefreshDocumentLinks();
}

void PlotView::SetAxisMetrics(const TextMeasure& measure) {
    AxisColumnWidth = measure("  000.000  ").Width;
    AxisBandHeight = 2 * measure("000.000").Height;
}

void PlotView::RefreshDocumentLinks() {
    set_ = doc_.CurrentSet.load() != 0 ? 1 : 0;
    bool any = false;
    for (int c = 0; c < ChannelCount; ++c) {
        any = any || ChannelPresent(c);
    }
    if (!any) {
        return;
    }
    int counter = 0;
    if (!ChannelPresent(ActiveChannel)) {
        while (counter < ChannelCount && !ChannelPresent(counter)) {
            ++counter;
        }
        ActiveChannel = counter;
        ++counter;
    }
    if (!ChannelPresent(RightChannel)) {
        while (counter < ChannelCount && !ChannelPresent(counter)) {
            ++counter;
        }
        RightChannel = counter < ChannelCount ? counter : ActiveChannel;
    }
}

uint32_t PlotView::SampleCount() const {
    return std::min<uint32_t>(doc_.SampleCount[set_], doc_.SetCapacity(set_));
}

bool PlotView::ChannelPresent(int channel) const {
    return channel >= 0 && channel < ChannelCount && doc_.ChannelPresent[set_][channel] != 0;
}

bool PlotView::ChannelShown(int channel) const {
    return ChannelPresent(channel) && ChannelVisible[channel] != 0;
}

float PlotView::TimeStep() const {
    const AcquisitionParams params = doc_.RegisteredParams();
    return static_cast<float>(params.Divisor / 8000.0 * params.Prescaler);
}

const int32_t* PlotView::ScanTimes() const {
    return doc_.ScanTime[set_].Data();
}

const int32_t* PlotView::SamplesOf(int channel) const {
    return doc_.Samples[set_][channel].Data();
}

double PlotView::VoltFactor(int channel) const {
    return settings_ != nullptr ? settings_->ChannelScale[channel] : 1.0;
}

void PlotView::FindVisibleRange(int32_t x1, int32_t x2, int32_t& first, int32_t& last) const {
    // The document's rule, on the set this view is linked to.
    FindScanRange(ScanTimes(), SampleCount(), x1, x2, first, last);
}

ViewRange PlotView::CurrentRange() const {
    return {XStart, YMin, XEnd, YMax};
}

void PlotView::ApplyRange(const ViewRange& range) {
    XStart = range.XStart;
    XEnd = range.XEnd;
    YMin = range.YMin;
    YMax = range.YMax;
}

void PlotView::PushHistory() {
    history_.Push(CurrentRange());
}

void PlotView::StepHistory(bool forward) {
    ViewRange range;
    if (history_.Step(forward, range)) {
        ApplyRange(range);
    }
}

void PlotView::ResetWindowAndScales() {
    const uint32_t n = SampleCount();
    placeholderScales_ = n == 0;
    if (n == 0) {
        // Nothing to show: a fixed window that cannot turn inside out.
        XStart = 0;
        XEnd = 10000;
        return;
    }
    XStart = ScanTimes()[0];
    XEnd = ScanTimes()[n - 1];
    for (int c = 0; c < ChannelCount; ++c) {
        YMin[c] = -500;
        YMax[c] = 500;
        // An input the set does not hold has no samples worth scanning (its array may never have
        // been written).
        if (ChannelPresent(c)) {
            AutoscaleChannel(c, false);
        }
    }
}

ViewResponse PlotView::OnUpdate(uint32_t hint) {
    RefreshDocumentLinks();
    ViewResponse response{ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
    if (hint == HintInitial || hint == HintReset) {
        if (SampleCount() == 0) {
            YMin.fill(-500);
            YMax.fill(500);
        }
        ResetWindowAndScales();
        ResetMarkers();
        response.MarkerChannels = 0xFF;
        ResetHistory();
        PushHistory();
    } else if (hint == HintNewShot) {
        response.MarkerChannels = ClampMarkers();
        if (placeholderScales_ && SampleCount() != 0) {
            // The first shot in a view that never showed data: its scales were only
            // placeholders, so they are fitted to the shot as a new view's would be. Later shots
            // keep whatever scales the user chose.
            ResetWindowAndScales();
            ResetHistory();
            PushHistory();
        }
    } else if (hint == HintRecordingDone) {
        response.MarkerChannels = ClampMarkers();
        ResetWindowAndScales();
    }
    return response;
}

void PlotView::AutoscaleChannel(int channel, bool visibleOnly) {
    int64_t begin = 0;
    int64_t end = SampleCount();
    if (visibleOnly) {
        if (FirstVisible[channel] < 0 || LastVisible[channel] < 0) {
            return;
        }
        begin = FirstVisible[channel];
        end = std::min<int64_t>(LastVisible[channel], SampleCount());
    }
    const int32_t half = (YMax[channel] - YMin[channel]) >> 1;
    int32_t max = -ValueLimit;
    int32_t min = ValueLimit;
    const int32_t* samples = SamplesOf(channel);
    for (int64_t k = begin; k < end; ++k) {
        const int32_t v = samples[k];
        if (v > max) {
            max = v;
        }
        if (v < min) {
            min = v;
        }
    }
    if (max < min) {
        // No sample scanned: the range stays as it was rather than turning inside out.
        return;
    }
    if (max == min) {
        min = std::max(min - half, -ValueLimit);
        max = std::min(max + half, ValueLimit);
    }
    YMin[channel] = min;
    YMax[channel] = max;
}

ViewResponse PlotView::Autoscale() {
    if (LinkedScales != 0) {
        for (int c = 0; c < ChannelCount; ++c) {
            if (ChannelShown(c)) {
                AutoscaleChannel(c, true);
            }
        }
    } else {
        AutoscaleChannel(ActiveChannel, true);
    }
    PushHistory();
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

ViewResponse PlotView::AlignScales() {
    for (int c = 0; c < ChannelCount; ++c) {
        if (c != ActiveChannel && ChannelShown(c)) {
            YMin[c] = YMin[ActiveChannel];
            YMax[c] = YMax[ActiveChannel];
        }
    }
    PushHistory();
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

ViewResponse PlotView::ToggleLinkedScales() {
    LinkedScales = LinkedScales != 0 ? 0 : 1;
    return {};
}

ViewResponse PlotView::FixXZero() {
    const int64_t span = static_cast<int64_t>(XEnd) - XStart;
    XEnd = static_cast<int32_t>(std::min<int64_t>(span, TimeLimit));
    XStart = 0;
    PushHistory();
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

ViewResponse PlotView::FixYZero() {
    auto centre = [this](int c) {
        const int32_t half = (YMax[c] - YMin[c]) >> 1;
        YMin[c] = -half;
        YMax[c] = half;
    };
    if (LinkedScales != 0) {
        for (int c = 0; c < ChannelCount; ++c) {
            if (ChannelShown(c)) {
                centre(c);
            }
        }
    } else {
        centre(ActiveChannel);
    }
    PushHistory();
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

ViewResponse PlotView::ToggleGrid() {
    GridOn = GridOn != 0 ? 0 : 1;
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

}  // namespace kresograf
