#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kresograf {

// One recorded scale state.
struct ViewRange {
    int32_t XStart = 0;
    std::array<int32_t, 8> YMin{};
    int32_t XEnd = 0;
    std::array<int32_t, 8> YMax{};

    friend bool operator==(const ViewRange&, const ViewRange&) = default;
};

// The last twenty recorded scale states, walked back and forth by double clicks.
class ZoomHistory {
  public:
    static constexpr int32_t Capacity = 20;

    ZoomHistory() { Reset(); }

    void Reset();
    // Records a state after the current entry; the twenty-first drops the oldest.
    void Push(const ViewRange& range);
    // Moves one entry back or forward where possible and returns the entry then current
    // (unchanged at either end); false while nothing was ever recorded.
    bool Step(bool forward, ViewRange& range);

    int32_t Index() const { return index_; }
    int32_t Top() const { return top_; }
    const ViewRange& Entry(int32_t i) const { return entries_[static_cast<std::size_t>(i)]; }

  private:
    std::vector<ViewRange> entries_;
    int32_t index_ = -1;
    int32_t top_ = -1;
};

}  // namespace kresograf
