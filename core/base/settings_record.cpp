#include "base/settings_record.h"

#include <string>

#include "base/sample_units.h"
#include "base/settings_store.h"

namespace kresograf {

SettingsRecord::SettingsRecord() {
    ChannelScale.fill(DefaultChannelScale);
}

void SettingsRecord::Load(SettingsStore& store) {
    NegateOnPrint = store.ReadInt("App", "NegColor", 1);
    for (int i = 0; i < 8; ++i) {
        ChannelColors[i] =
            store.ReadInt("App", "Color" + std::to_string(i), DefaultChannelColors[i]);
    }
    GridColor = store.ReadInt("App", "ColorN", DefaultGridColor);
    ChannelScale.fill(DefaultChannelScale);
    AcquiringDocId = 0;
    PortAddress = store.ReadInt("Device", "Address", DefaultPortAddress);
    for (int i = 0; i < 8; ++i) {
        ChannelGain[i] = static_cast<uint8_t>(store.ReadInt("Device", "CH" + std::to_string(i), 0));
    }
    ShownParamsDocId = 0;
}

void SettingsRecord::Save(SettingsStore& store) const {
    store.WriteInt("Device", "Address", PortAddress);
    store.WriteInt("App", "NegColor", NegateOnPrint);
    for (int i = 0; i < 8; ++i) {
        store.WriteInt("Device", "CH" + std::to_string(i), ChannelGain[i]);
    }
    for (int i = 0; i < 8; ++i) {
        store.WriteInt("App", "Color" + std::to_string(i), ChannelColors[i]);
    }
    store.WriteInt("App", "ColorN", GridColor);
}

uint32_t SettingsRecord::PrintColor(int channel) const {
    const uint32_t colour = ChannelColors[channel];
    return NegateOnPrint != 0 ? (~colour & 0x00FFFFFF) : colour;
}

}  // namespace kresograf
