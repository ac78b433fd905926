#include "view/plot_view.h"

namespace kresograf {
namespace {

ViewResponse Rerender() {
    return {ViewAction::RenderAndRedraw, {}, 0, std::nullopt};
}

}  // namespace

ChannelItemState PlotView::ItemState(ChannelMenu menu, int channel) const {
    if (channel < 0 || channel >= ChannelCount || !ChannelPresent(channel)) {
        return {false, false};
    }
    switch (menu) {
        case ChannelMenu::Visibility:
            return {true, ChannelVisible[channel] != 0};
        case ChannelMenu::Active:
            if (ChannelVisible[channel] == 0) {
                return {false, false};
            }
            return {true, channel == ActiveChannel};
        case ChannelMenu::RightAxis:
            break;
    }
    if (ChannelVisible[channel] == 0) {
        return {false, false};
    }
    return {true, channel == RightChannel};
}

ViewResponse PlotView::SetActiveChannel(int channel) {
    // A disabled item is not executed, also when its key is pressed.
    if (!ItemState(ChannelMenu::Active, channel).Enabled || !ChannelPresent(ActiveChannel) ||
        channel == ActiveChannel) {
        return {};
    }
    LinkedScales = 0;
    ActiveChannel = channel;
    return Rerender();
}

ViewResponse PlotView::SetRightChannel(int channel) {
    if (!ItemState(ChannelMenu::RightAxis, channel).Enabled || !ChannelPresent(ActiveChannel) ||
        channel == RightChannel) {
        return {};
    }
    RightChannel = channel;
    return Rerender();
}

ViewResponse PlotView::ToggleChannel(int i) {
    if (!ItemState(ChannelMenu::Visibility, i).Enabled) {
        return {};
    }
    ChannelVisible[i] = ChannelVisible[i] != 0 ? 0 : 1;
    ViewResponse response = Rerender();
    if (ChannelVisible[i] != 0) {
        return response;
    }
    if (Markers[i].Shown != 0) {
        Markers[i].Shown = 0;
        response.MarkerChannels = static_cast<uint8_t>(1u << i);
    }
    if (i != ActiveChannel) {
        if (i == RightChannel) {
            RightChannel = ActiveChannel;
        }
        return response;
    }
    if (RightChannel != i) {
        ActiveChannel = RightChannel;
        return response;
    }
    // Only a channel that is both switched on and holds data can carry the axes; one without
    // data would leave an empty axis and lock the active-channel keys until the next update.
    for (int c = 0; c < ChannelCount; ++c) {
        if (ChannelShown(c)) {
            ActiveChannel = RightChannel = c;
            return response;
        }
    }
    response.Message = LastChannelMessage();
    ChannelVisible[i] = 1;
    return response;
}

ViewResponse PlotView::SwapChannels() {
    std::swap(ActiveChannel, RightChannel);
    return Rerender();
}

}  // namespace kresograf
