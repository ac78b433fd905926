#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "acquisition/frame_link.h"

namespace kresograf {

// A main frame that records what an acquisition sends it. Safe to use from a worker thread
// while the test thread reads it.
class RecordingFrameLink : public FrameLink {
  public:
    struct Call {
        bool Sent = false;  // false: posted
        uint32_t Message = 0;
        uint32_t WParam = 0;

        friend bool operator==(const Call&, const Call&) = default;
    };

    // Called after a message is recorded (on the caller's thread), e.g. to stop a worker.
    std::function<void(const Call&)> OnMessage;
    // Called when the registered-parameters dialog would open; returning ends the "dialog".
    std::function<void(const RegisteredParamsRequest&)> OnRegisteredParams;

    void SendMessage(uint32_t message, uint32_t wParam) override {
        Record({true, message, wParam});
    }
    void PostMessage(uint32_t message, uint32_t wParam) override {
        Record({false, message, wParam});
    }
    void ShowMessageBox(const UserMessage& message) override {
        std::lock_guard lock(mutex_);
        boxes_.push_back(message);
    }
    void ShowRegisteredParams(const RegisteredParamsRequest& request) override {
        {
            std::lock_guard lock(mutex_);
            registered_.push_back(request);
        }
        if (OnRegisteredParams) {
            OnRegisteredParams(request);
        }
    }

    std::vector<Call> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The WM_ACQ_STATUS codes in the order they came, sent or posted.
    std::vector<uint32_t> Statuses() const {
        std::lock_guard lock(mutex_);
        std::vector<uint32_t> codes;
        for (const Call& call : calls_) {
            if (call.Message == WM_ACQ_STATUS) {
                codes.push_back(call.WParam);
            }
        }
        return codes;
    }
    std::vector<UserMessage> MessageBoxes() const {
        std::lock_guard lock(mutex_);
        return boxes_;
    }
    std::vector<RegisteredParamsRequest> RegisteredParams() const {
        std::lock_guard lock(mutex_);
        return registered_;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
        boxes_.clear();
        registered_.clear();
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
    std::vector<UserMessage> boxes_;
    std::vector<RegisteredParamsRequest> registered_;
};

}  // namespace kresograf
