#include "view/marker_texts.h"

#include "base/fixed_format.h"
#include "base/translation.h"
#include "view/axis_labels.h"

namespace kresograf {

MarkerItemTexts FormatMarkerItems(const MarkerReadout& r) {
    if (!r.Shown) {
        return {Tr("Lewy :"), Tr("Prawy :"), Tr("Delta :")};
    }
    const float deltaMs = r.RightTimeMs - r.LeftTimeMs;
    const float deltaVolts = r.RightVolts - r.LeftVolts;
    auto f = [](float v) { return FormatFixed(v, 3); };
    // The spacing before "y" differs between the lines as the window has always shown it.
    if (r.InSeconds) {
        return {
            FillText(Tr("Lewy: x = %s s   y = %s V"), {f(r.LeftTimeMs / 1000.0f), f(r.LeftVolts)}),
            FillText(Tr("Prawy: x = %s s   y = %s V"),
                     {f(r.RightTimeMs / 1000.0f), f(r.RightVolts)}),
            FillText(Tr("Delta: x = %s s   y = %s V"), {f(deltaMs / 1000.0f), f(deltaVolts)})};
    }
    return {FillText(Tr("Lewy: x = %s ms   y = %s V"), {f(r.LeftTimeMs), f(r.LeftVolts)}),
            FillText(Tr("Prawy: x = %s ms  y = %s V"), {f(r.RightTimeMs), f(r.RightVolts)}),
            FillText(Tr("Delta: x = %s ms  y = %s V"), {f(deltaMs), f(deltaVolts)})};
}

std::string MarkerChannelNodeText(int channel) {
    return FillText(Tr("Znaczniki kanału %s"), {std::to_string(channel + 1)});
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
