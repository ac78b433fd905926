#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kresograf {

class SettingsStore;

// Colours are 0x00BBGGRR.
inline constexpr std::array<uint32_t, 8> DefaultChannelColors = {
    0xFFFFFF, 0x808080, 0x00FF00, 0xFF0000, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
inline constexpr uint32_t DefaultGridColor = 0x606060;
inline constexpr uint32_t DefaultPortAddress = 0x100;

// The main frame's settings and the application-wide acquisition state. One instance lives as
// long as the program; the acquisition worker reads the gains and scales and releases the token.
struct SettingsRecord {
    SettingsRecord();
    SettingsRecord(const SettingsRecord&) = delete;
    SettingsRecord& operator=(const SettingsRecord&) = delete;

    std::array<uint32_t, 8> ChannelColors = DefaultChannelColors;
    uint32_t GridColor = DefaultGridColor;
    std::array<float, 8> ChannelScale{};
    uint32_t NegateOnPrint = 1;
    // DocId of the document whose acquisition runs; 0 = none.
    std::atomic<uint32_t> AcquiringDocId{0};
    // DocId of the document whose parameters the acquisition-parameters window shows.
    std::atomic<uint32_t> ShownParamsDocId{0};
    uint32_t PortAddress = DefaultPortAddress;
    // Bit 7 set = gain x10; the other bits are kept but not interpreted.
    std::array<uint8_t, 8> ChannelGain{};

    // Reads every persisted value, in the order the program has always read them.
    void Load(SettingsStore& store);
    // Writes every persisted value after the properties sheet was accepted.
    void Save(SettingsStore& store) const;

    // The print pen colour of an input: its trace colour, or the colour's complement when
    // printouts are negated.
    uint32_t PrintColor(int channel) const;
    bool HighGain(int input) const { return (ChannelGain[input] & 0x80) != 0; }
};

}  // namespace kresograf
