#include "view/channel_menu.h"

#include "base/translation.h"

namespace kresograf {

std::string_view ChannelSubmenuTitle(ChannelMenu menu) {
    switch (menu) {
        case ChannelMenu::Visibility:
            return Tr("Wyświetlaj &kanały");
        case ChannelMenu::Active:
            return Tr("&Ustaw jako aktywny ");
        case ChannelMenu::RightAxis:
            break;
    }
    return Tr("Ustaw opis &prawej osi dla");
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
            return FillText(Tr("Kanał &%s"), {n});
        case ChannelMenu::Active:
            return FillText(Tr("Kanał &%s"), {n}) + "\t" + n;
        case ChannelMenu::RightAxis:
            break;
    }
    // The right axis's menu names a channel in another case in Polish ("dla Kanału 1").
    return FillText(Tr("Kanału &%s"), {n}) + "\tCtrl+" + n;
}

UserMessage LastChannelMessage() {
    return {Tr("Informacja"), Tr("Przynajmniej jeden kanał musi pozostać aktywny"),
            MessageIcon::Exclamation};
}

}  // namespace kresograf
