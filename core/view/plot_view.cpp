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
    if (const std::optional<LiveRecording> live = doc_.Live()) {
        set_ = live->Set != 0 ? 1 : 0;
        live_ = true;
        liveParams_ = live->Params;
        livePresent_ = live->Present;
        livePlanned_ = live->PlannedScans;
        // Acquire: every scan counted is completely in the arrays.
        liveScans_ = std::min({doc_.LiveScans.load(std::memory_order_acquire), live->PlannedScans,
                               doc_.SetCapacity(set_)});
    } else {
        set_ = doc_.CurrentSet.load() != 0 ? 1 : 0;
        live_ = false;
    }
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
    if (live_) {
        return liveScans_;
    }
    return std::min<uint32_t>(doc_.SampleCount[set_], doc_.SetCapacity(set_));
}

bool PlotView::ChannelPresent(int channel) const {
    if (channel < 0 || channel >= ChannelCount) {
        return false;
    }
    return (live_ ? livePresent_[channel] : doc_.ChannelPresent[set_][channel]) != 0;
}

bool PlotView::ChannelShown(int channel) const {
    return ChannelPresent(channel) && ChannelVisible[channel] != 0;
}

AcquisitionParams PlotView::ShownParams() const {
    return live_ ? liveParams_ : doc_.RegisteredParams();
}

float PlotView::TimeStep() const {
    const AcquisitionParams params = ShownParams();
    return static_cast<float>(params.Divisor / 8000.0 * params.Prescaler);
}

ScanTimes PlotView::Times() const {
    return doc_.Times(set_);
}

SampleColumn PlotView::SamplesOf(int channel) const {
    return doc_.Column(set_, channel);
}

double PlotView::VoltFactor(int channel) const {
    return settings_ != nullptr ? settings_->ChannelScale[channel] : 1.0;
}

void PlotView::FindVisibleRange(int32_t x1, int32_t x2, int32_t& first, int32_t& last) const {
    // The document's rule, on the set this view is linked to.
    FindScanRange(Times(), SampleCount(), x1, x2, first, last);
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
    XStart = Times()[0];
    XEnd = Times()[n - 1];
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

ViewResponse PlotView::OnRecordingProgress() {
    const bool wasLive = live_;
    const uint32_t setBefore = set_;
    const uint32_t scansBefore = liveScans_;
    RefreshDocumentLinks();
    if (!live_) {
        // The end of a recording comes with its own update; a run that kept nothing leaves the
        // shown set as it was, which is drawn again here.
        return {wasLive ? ViewAction::RenderAndRedraw : ViewAction::None, {}, 0, std::nullopt};
    }
    if (!wasLive || set_ != setBefore) {
        // Scan k of a recording lies at k x ChannelCount.
        const int64_t channels = std::max<int64_t>(1, liveParams_.ChannelCount);
        XStart = 0;
        XEnd = static_cast<int32_t>(
            std::clamp<int64_t>((int64_t{livePlanned_} - 1) * channels, 1, TimeLimit));
        ResetMarkers();
        ResetHistory();
        PushHistory();
        return {ViewAction::RenderAndRedraw, {}, 0xFF, std::nullopt};
    }
    if (liveScans_ == scansBefore) {
        return {};
    }
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

void PlotView::AutoscaleChannel(int channel, bool visibleOnly) {
    uint32_t begin = 0;
    uint32_t end = SampleCount();
    if (visibleOnly) {
        if (FirstVisible[channel] < 0 || LastVisible[channel] < 0) {
            return;
        }
        begin = static_cast<uint32_t>(FirstVisible[channel]);
        end = std::min(static_cast<uint32_t>(LastVisible[channel]), SampleCount());
    }
    if (begin >= end) {
        // No sample to look at: the range stays as it was rather than turning inside out.
        return;
    }
    const int32_t half = (YMax[channel] - YMin[channel]) >> 1;
    // The summary answers for the whole set in a few table reads.
    const SampleColumn samples = SamplesOf(channel);
    const SampleRange range = Reduction == TraceReduction::Summary
                                  ? SummaryOf(channel).Query(samples, begin, end)
                                  : ScanSampleRange(samples, begin, end);
    int32_t min = std::min(range.Min, ValueLimit);
    int32_t max = std::max(range.Max, -ValueLimit);
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
