#pragma once

#include <array>
#include <string>

namespace kresograf {

// What the markers window shows for one channel of one plot window.
struct MarkerReadout {
    int Channel = 0;
    bool Shown = false;
    float LeftTimeMs = 0.0f;
    float LeftVolts = 0.0f;
    float RightTimeMs = 0.0f;
    float RightVolts = 0.0f;
    // Times in seconds when one ScanTime unit lasts 10 ms or more.
    bool InSeconds = false;

    friend bool operator==(const MarkerReadout&, const MarkerReadout&) = default;
};

struct MarkerItemTexts {
    std::string Left;
    std::string Right;
    std::string Delta;

    friend bool operator==(const MarkerItemTexts&, const MarkerItemTexts&) = default;
};

// The three item texts under a channel's node.
MarkerItemTexts FormatMarkerItems(const MarkerReadout& readout);
// The channel node's text, channel counted from 0.
std::string MarkerChannelNodeText(int channel);

inline constexpr int MarkerSpriteSize = 17;
// The marker symbol: a square border and a centre cross, with the centre pixel and the middle of
// each border side left transparent. Indexed [row][column]; true = drawn in the channel colour.
using MarkerSpritePattern = std::array<std::array<bool, MarkerSpriteSize>, MarkerSpriteSize>;
MarkerSpritePattern MarkerSprite();

}  // namespace kresograf
