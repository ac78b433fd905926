#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/translation.h"
#include "base/user_message.h"

namespace kresograf {

// The three channel submenus of the tools menu.
enum class ChannelMenu { Visibility, Active, RightAxis };

inline constexpr int ChannelCount = 8;
inline constexpr uint32_t SwapChannelsCommandId = 33095;
inline constexpr std::string_view SwapChannelsPrompt =
    N_("Zamienia aktywny kanał z kanałem opisującym prawą oś");

std::string_view ChannelSubmenuTitle(ChannelMenu menu);
// Command id of channel i's item (i counted from 0).
uint32_t ChannelCommandId(ChannelMenu menu, int channel);
// Item text with its accelerator after the tab.
std::string ChannelItemText(ChannelMenu menu, int channel);

// Shown when the user tries to hide the last shown channel.
UserMessage LastChannelMessage();

}  // namespace kresograf
