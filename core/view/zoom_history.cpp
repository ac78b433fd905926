#include "view/zoom_history.h"

namespace kresograf {

void ZoomHistory::Reset() {
    entries_.assign(Capacity, ViewRange{});
    index_ = -1;
    top_ = -1;
}

void ZoomHistory::Push(const ViewRange& range) {
    ++index_;
    if (index_ >= Capacity) {
        entries_.erase(entries_.begin());
        entries_.push_back(ViewRange{});
        index_ = Capacity - 1;
    }
    top_ = index_;
    entries_[static_cast<std::size_t>(index_)] = range;
}

bool ZoomHistory::Step(bool forward, ViewRange& range) {
    if (forward && index_ < top_) {
        ++index_;
    } else if (!forward && index_ >= 1) {
        --index_;
    }
    if (index_ < 0) {
        return false;
    }
    range = entries_[static_cast<std::size_t>(index_)];
    return true;
}

}  // namespace kresograf
