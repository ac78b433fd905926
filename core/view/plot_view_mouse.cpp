#include <algorithm>

#include "view/plot_view.h"

namespace kresograf {
namespace {

ViewResponse Respond(ViewAction action, uint8_t markerChannels = 0) {
    return {action, {}, markerChannels, std::nullopt};
}

}  // namespace

ViewResponse PlotView::LeftButtonDown(PicturePoint at, bool shift, bool ctrl) {
    ViewResponse response;
    if (shift && SetMarkerAtPixel(ActiveChannel, at.X, MarkerSide::Left)) {
        response = Respond(ViewAction::Redraw, static_cast<uint8_t>(1u << ActiveChannel));
    }
    if (ctrl) {
        RectZooming = 1;
    } else {
        Stretching = 1;
    }
    LastMouse = at;
    return response;
}

ViewResponse PlotView::RightButtonDown(PicturePoint at, bool shift) {
    ViewResponse response;
    if (shift && SetMarkerAtPixel(ActiveChannel, at.X, MarkerSide::Right)) {
        response = Respond(ViewAction::Redraw, static_cast<uint8_t>(1u << ActiveChannel));
    }
    Panning = 1;
    LastMouse = at;
    return response;
}

bool PlotView::DragStep(int c, PicturePoint at, int32_t clientWidth, int32_t clientHeight) {
    const int32_t towardsLeft = LastMouse.X - at.X;
    int64_t dx = MulDiv(static_cast<int64_t>(XEnd) - XStart, towardsLeft, clientWidth);
    if (dx >= TimeLimit) {
        return false;
    }
    if (towardsLeft > 0) {
        dx += 1;
    } else if (towardsLeft < 0) {
        dx -= 1;
    }
    const int32_t downwards = at.Y - LastMouse.Y;
    int64_t dy = MulDiv(static_cast<int64_t>(YMax[c]) - YMin[c], downwards, clientHeight);
    if (dy >= TimeLimit) {
        return false;
    }
    if (downwards > 0) {
        dy += 1;
    } else if (downwards < 0) {
        dy -= 1;
    }
    if (Panning != 0) {
        const int64_t start = XStart + dx;
        const int64_t end = XEnd + dx;
        if (start > -TimeLimit && end < TimeLimit) {
            XStart = static_cast<int32_t>(start);
            XEnd = static_cast<int32_t>(end);
        }
        const int64_t low = YMin[c] + dy;
        const int64_t high = YMax[c] + dy;
        if (low > -ValueLimit && high < ValueLimit) {
            YMin[c] = static_cast<int32_t>(low);
            YMax[c] = static_cast<int32_t>(high);
        }
    }
    if (Stretching != 0) {
        const int64_t end = XEnd + dx;
        if (end > XStart && end <= TimeLimit) {
            XEnd = static_cast<int32_t>(end);
        }
        const int64_t high = YMax[c] + dy;
        const int64_t low = YMin[c] - dy;
        if (high > low && high <= ValueLimit && low >= -ValueLimit) {
            YMax[c] = static_cast<int32_t>(high);
            YMin[c] = static_cast<int32_t>(low);
        }
    }
    return true;
}

ViewResponse PlotView::MouseMove(PicturePoint at, int32_t clientWidth, int32_t clientHeight) {
    if (Panning != 0 || Stretching != 0) {
        Dragged = 1;
        if (LinkedScales != 0) {
            for (int c = 0; c < ChannelCount; ++c) {
                if (ChannelShown(c)) {
                    DragStep(c, at, clientWidth, clientHeight);
                }
            }
        } else {
            DragStep(ActiveChannel, at, clientWidth, clientHeight);
        }
        LastMouse = at;
        return Respond(ViewAction::RenderAndRedraw);
    }
    if (RectZooming != 0) {
        // LastMouse stays at the button-down point for the whole rubber-band drag.
        ViewResponse response = Respond(ViewAction::InvalidateBand);
        response.OldBand = ZoomRect;
        ZoomRect = {std::min(LastMouse.X, at.X), std::min(LastMouse.Y, at.Y),
                    std::max(LastMouse.X, at.X), std::max(LastMouse.Y, at.Y)};
        return response;
    }
    return {};
}

void PlotView::ZoomChannelToRect(int c) {
    const PictureRect& p = PlotRect;
    const PictureRect& z = ZoomRect;
    const int64_t range = static_cast<int64_t>(YMax[c]) - YMin[c];
    const int64_t high = YMax[c] - static_cast<int64_t>(MulDiv(range, z.Top - p.Top, p.Height()));
    const int64_t low =
        YMin[c] - static_cast<int64_t>(MulDiv(range, z.Bottom - p.Bottom, p.Height()));
    if (high > low && high - low <= ValueLimit && high <= ValueLimit && low >= -ValueLimit) {
        YMax[c] = static_cast<int32_t>(high);
        YMin[c] = static_cast<int32_t>(low);
    }
}

void PlotView::ZoomToRect() {
    const PictureRect& p = PlotRect;
    const PictureRect& z = ZoomRect;
    if (p.Width() <= 0 || p.Height() <= 0) {
        // No plot was ever shown, so the band means nothing.
        return;
    }
    const int64_t span = static_cast<int64_t>(XEnd) - XStart;
    const int64_t end = XEnd - static_cast<int64_t>(MulDiv(span, p.Right - z.Right, p.Width()));
    const int64_t start = XStart - static_cast<int64_t>(MulDiv(span, p.Left - z.Left, p.Width()));
    if (end > start && start >= INT32_MIN && end <= INT32_MAX) {
        XStart = static_cast<int32_t>(start);
        XEnd = static_cast<int32_t>(end);
    }
    if (LinkedScales != 0) {
        for (int c = 0; c < ChannelCount; ++c) {
            if (ChannelShown(c)) {
                ZoomChannelToRect(c);
            }
        }
    } else {
        ZoomChannelToRect(ActiveChannel);
    }
}

ViewResponse PlotView::LeftButtonUp(PicturePoint at) {
    ViewResponse response;
    if (RectZooming != 0) {
        ZoomToRect();
        response = Respond(ViewAction::RenderAndRedraw);
    }
    Stretching = 0;
    RectZooming = 0;
    LastMouse = at;
    if (Dragged != 0) {
        PushHistory();
        Dragged = 0;
    }
    return response;
}

ViewResponse PlotView::RightButtonUp(PicturePoint at) {
    Panning = 0;
    LastMouse = at;
    if (Dragged != 0) {
        PushHistory();
        Dragged = 0;
    }
    return {};
}

ViewResponse PlotView::LeftDoubleClick() {
    StepHistory(false);
    return Respond(ViewAction::RenderAndRedraw);
}

ViewResponse PlotView::RightDoubleClick() {
    StepHistory(true);
    return Respond(ViewAction::RenderAndRedraw);
}

ViewResponse PlotView::MoveMarker(MarkerKey key) {
    MarkerRecord& m = Markers[ActiveChannel];
    if (m.Shown == 0) {
        return {};
    }
    const int64_t lastIndex = static_cast<int64_t>(SampleCount()) - 1;
    uint32_t& index =
        key == MarkerKey::LeftBack || key == MarkerKey::LeftForward ? m.Left : m.Right;
    const bool forward = key == MarkerKey::LeftForward || key == MarkerKey::RightForward;
    if (forward && static_cast<int64_t>(index) < lastIndex) {
        ++index;
    } else if (!forward && index > 0) {
        --index;
    } else {
        return {};
    }
    return Respond(ViewAction::Redraw, static_cast<uint8_t>(1u << ActiveChannel));
}

}  // namespace kresograf
