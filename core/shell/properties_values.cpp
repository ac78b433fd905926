#include "shell/properties_values.h"

#include <cstdio>

#include "view/trace_mapping.h"

namespace kresograf {

PropertiesValues PropertiesValues::From(const SettingsRecord& settings) {
    PropertiesValues values;
    values.ChannelColors = settings.ChannelColors;
    values.GridColor = settings.GridColor;
    values.NegateOnPrint = settings.NegateOnPrint;
    values.PortAddress = settings.PortAddress;
    values.ChannelGain = settings.ChannelGain;
    return values;
}

void PropertiesValues::ApplyTo(SettingsRecord& settings) const {
    settings.ChannelColors = ChannelColors;
    settings.GridColor = GridColor;
    settings.NegateOnPrint = NegateOnPrint;
    settings.PortAddress = PortAddress;
    settings.ChannelGain = ChannelGain;
}

std::vector<std::string> AddressItems() {
    std::vector<std::string> items;
    for (uint32_t a = 0; a < 0x400; a += 16) {
        char text[16];
        std::snprintf(text, sizeof text, "%03X - %03X", a, a + 9);
        items.emplace_back(text);
    }
    return items;
}

int AddressIndex(uint32_t address) {
    return address < 0x400 ? static_cast<int>(address / 16) : -1;
}

uint32_t AddressOfIndex(int index, uint32_t previous) {
    return index >= 0 && index < 64 ? static_cast<uint32_t>(index) * 16 : previous;
}

int GainChoice(uint8_t gain) {
    return gain / 128;
}

uint8_t GainOfChoice(int choice) {
    return choice == 1 ? 0x80 : 0;
}

PreviewLines PreviewGeometry(int width, int height) {
    PreviewLines lines;
    lines.TraceY = height / 2;
    lines.GridY = {MulDiv(height, 1, 3), MulDiv(height, 2, 3)};
    lines.GridX = {MulDiv(width, 1, 3), MulDiv(width, 2, 3)};
    return lines;
}

}  // namespace kresograf
