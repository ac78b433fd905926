#include "view/channel_menu.h"

namespace kresograf {

std::string_view ChannelSubmenuTitle(ChannelMenu menu) {
    switch (menu) {
        case ChannelMenu::Visibility:
            return "Wyświetlaj &kanały";
        case ChannelMenu::Active:
            return "&Ustaw jako aktywny ";
        case ChannelMenu::RightAxis:
            break;
    }
    return "Ustaw opis &prawej osi dla";
}

uint32_t ChannelCommandId(ChannelMenu menu, int channel) {
    const uint32_t i = static_cast<uint32_t>(channel);
    switch (menu) {
        case ChannelMenu::Visibility:
            return 32980 + i;
        case ChannelMenu::Active:
            return 32780 + i;
        case ChannelMenu::RightAxis:
            break;
    }
    return 32880 + i;
}

std::string ChannelItemText(ChannelMenu menu, int channel) {
    const std::string n = std::to_string(channel + 1);
    switch (menu) {
        case ChannelMenu::Visibility:
            return "Kanał &" + n;
        case ChannelMenu::Active:
            return "Kanał &" + n + "\t" + n;
        case ChannelMenu::RightAxis:
            break;
    }
    return "Kanału &" + n + "\tCtrl+" + n;
}

UserMessage LastChannelMessage() {
    return {"Informacja", "Przynajmniej jeden kanał musi pozostać aktywny",
            MessageIcon::Exclamation};
}

}  // namespace kresograf
