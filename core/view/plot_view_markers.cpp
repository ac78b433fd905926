#include <algorithm>

#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "view/plot_view.h"

namespace kresograf {

void PlotView::ResetMarkers() {
    const uint32_t n = SampleCount();
    for (MarkerRecord& m : Markers) {
        m.Left = 0;
        m.Right = n > 0 ? n - 1 : 0;
        m.Shown = 0;
    }
}

uint8_t PlotView::ClampMarkers() {
    const uint32_t n = SampleCount();
    uint8_t changed = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        MarkerRecord& m = Markers[c];
        if (m.Shown == 0) {
            continue;
        }
        changed |= static_cast<uint8_t>(1u << c);
        if (n == 0) {
            m.Shown = 0;
            continue;
        }
        m.Left = std::min(m.Left, n - 1);
        m.Right = std::min(m.Right, n - 1);
    }
    return changed;
}

bool PlotView::SetMarkerAtPixel(int channel, int32_t x, MarkerSide side) {
    const uint32_t n = SampleCount();
    if (n == 0) {
        return false;
    }
    const int32_t t = UnmapX(TraceMappings[channel], x);
    const ScanTimes times = Times();
    uint32_t found = n;
    if (times[0] < t) {
        // Scan times ascend, so the first scan at or after t is found by bisection.
        found = FirstScanWhere(times, 1, n, [t](int32_t time) { return time >= t; });
    } else {
        for (uint32_t k = 1; k < n; ++k) {
            if (times[k] < t) {
                found = k;
                break;
            }
        }
    }
    if (found >= n) {
        return false;
    }
    MarkerRecord& m = Markers[channel];
    (side == MarkerSide::Left ? m.Left : m.Right) = found;
    m.Shown = 1;
    return true;
}

void PlotView::ToggleMarkers(int channel) {
    MarkerRecord& m = Markers[channel];
    if (m.Shown != 0) {
        m.Shown = 0;
        return;
    }
    SetMarkerAtPixel(channel, PlotRect.Left + 5, MarkerSide::Left);
    SetMarkerAtPixel(channel, PlotRect.Right - 5, MarkerSide::Right);
}

ViewResponse PlotView::MarkersCommand() {
    ToggleMarkers(ActiveChannel);
    return {ViewAction::Redraw, {}, static_cast<uint8_t>(1u << ActiveChannel), std::nullopt};
}

MarkerReadout PlotView::MarkerReadoutOf(int channel) const {
    const MarkerRecord& m = Markers[channel];
    MarkerReadout r;
    r.Channel = channel;
    r.Shown = m.Shown != 0;
    const float timeStep = TimeStep();
    r.InSeconds = timeStep >= 10.0f;
    const float scale = static_cast<float>(VoltFactor(channel));
    const uint32_t capacity = doc_.SetCapacity(set_);
    const ScanTimes times = Times();
    const SampleColumn samples = SamplesOf(channel);
    if (m.Left < capacity) {
        r.LeftTimeMs = static_cast<float>(times[m.Left]) * timeStep;
        r.LeftVolts = static_cast<float>(samples[m.Left]) * scale;
    }
    if (m.Right < capacity) {
        r.RightTimeMs = static_cast<float>(times[m.Right]) * timeStep;
        r.RightVolts = static_cast<float>(samples[m.Right]) * scale;
    }
    return r;
}

std::vector<MarkerOverlay> PlotView::MarkerOverlays() const {
    std::vector<MarkerOverlay> overlays;
    const uint32_t n = SampleCount();
    constexpr int32_t half = MarkerSpriteSize / 2;
    for (int c = 0; c < ChannelCount; ++c) {
        const MarkerRecord& m = Markers[c];
        // An empty range, (-1, -1) or a window before the data (0, -1), shows nothing.
        if (m.Shown == 0 || FirstVisible[c] < 0 || LastVisible[c] < FirstVisible[c]) {
            continue;
        }
        for (const MarkerSide side : {MarkerSide::Left, MarkerSide::Right}) {
            const uint32_t index = side == MarkerSide::Left ? m.Left : m.Right;
            if (index < static_cast<uint32_t>(FirstVisible[c]) ||
                index > static_cast<uint32_t>(LastVisible[c]) || index >= n) {
                continue;
            }
            const TraceMapping& mapping = TraceMappings[c];
            const int32_t x = ClampCoordinate(MapX(mapping, Times()[index]));
            const int32_t y = ClampCoordinate(MapY(mapping, SamplesOf(c)[index]));
            const PictureRect square{x - half, y - half, x + half + 1, y + half + 1};
            const PictureRect dest{
                std::max(square.Left, PlotRect.Left), std::max(square.Top, PlotRect.Top),
                std::min(square.Right, PlotRect.Right), std::min(square.Bottom, PlotRect.Bottom)};
            if (dest.Width() <= 0 || dest.Height() <= 0) {
                continue;
            }
            MarkerOverlay overlay;
            overlay.Channel = c;
            overlay.Side = side;
            overlay.Centre = {x, y};
            overlay.Dest = dest;
            overlay.SourceOffset = {dest.Left - square.Left, dest.Top - square.Top};
            overlay.Color =
                settings_ != nullptr ? settings_->ChannelColors[c] : DefaultChannelColors[c];
            overlays.push_back(overlay);
        }
    }
    return overlays;
}

}  // namespace kresograf
