#include "view/marker_texts.h"
#include "base/fixed_format.h"

#include "view/axis_labels.h"

namespace kresograf {

MarkerItemTexts FormatMarkerItems(const MarkerReadout& r) {
    if (!r.Shown) {
        return {"Lewy :", "Prawy :", "Delta :"};
    }
    const float deltaMs = r.RightTimeMs - r.LeftTimeMs;
    const float deltaVolts = r.RightVolts - r.LeftVolts;
    auto f = [](float v) { return FormatFixed(v, 3); };
    if (r.InSeconds) {
        return {"Lewy: x = " + f(r.LeftTimeMs / 1000.0f) + " s   y = " + f(r.LeftVolts) + " V",
                "Prawy: x = " + f(r.RightTimeMs / 1000.0f) + " s   y = " + f(r.RightVolts) + " V",
                "Delta: x = " + f(deltaMs / 1000.0f) + " s   y = " + f(deltaVolts) + " V"};
    }
    return {"Lewy: x = " + f(r.LeftTimeMs) + " ms   y = " + f(r.LeftVolts) + " V",
            "Prawy: x = " + f(r.RightTimeMs) + " ms  y = " + f(r.RightVolts) + " V",
            "Delta: x = " + f(deltaMs) + " ms  y = " + f(deltaVolts) + " V"};
}

std::string MarkerChannelNodeText(int channel) {
    return "Znaczniki kanału " + std::to_string(channel + 1);
}

MarkerSpritePattern MarkerSprite() {
    MarkerSpritePattern p{};
    constexpr int last = MarkerSpriteSize - 1;
    constexpr int mid = last / 2;
    for (int i = 0; i <= last; ++i) {
        p[0][i] = p[last][i] = p[i][0] = p[i][last] = true;
    }
    for (int i = 1; i < last; ++i) {
        p[mid][i] = p[i][mid] = true;
    }
    p[mid][mid] = false;
    p[0][mid] = p[last][mid] = p[mid][0] = p[mid][last] = false;
    return p;
}

}  // namespace kresograf
