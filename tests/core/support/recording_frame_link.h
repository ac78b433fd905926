#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "acquisition/frame_link.h"

namespace kresograf {

// A main frame that records the WM_ACQ_STATUS codes an acquisition sends or posts it. Safe to
// use from a worker thread while the test thread reads it.
class RecordingFrameLink : public FrameLink {
  public:
    struct Call {
        bool Sent = false;  // false: posted
        uint32_t Message = 0;
        uint32_t WParam = 0;
    };

    // Called after a message is recorded (on the caller's thread), e.g. to stop a worker.
    std::function<void(const Call&)> OnMessage;

    void SendMessage(uint32_t message, uint32_t wParam) override {
        Record({true, message, wParam});
    }
    void PostMessage(uint32_t message, uint32_t wParam) override {
        Record({false, message, wParam});
    }
    void ShowMessageBox(const UserMessage&) override {}
    void ShowRegisteredParams(const RegisteredParamsRequest&) override {}

    std::vector<Call> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<uint32_t> Statuses() const {
        std::vector<uint32_t> codes;
        for (const Call& call : Calls()) {
            if (call.Message == WM_ACQ_STATUS) {
                codes.push_back(call.WParam);
            }
        }
        return codes;
    }

  private:
    void Record(const Call& call) {
        {
            std::lock_guard lock(mutex_);
            calls_.push_back(call);
        }
        if (OnMessage) {
            OnMessage(call);
        }
    }

    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

}  // namespace kresograf
