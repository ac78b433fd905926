#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "base/frame_link.h"

namespace kresograf {

// A main frame that records what an acquisition sends, posts and shows it. Safe to use from a
// worker thread while the test thread reads it.
class RecordingFrameLink : public FrameLink {
  public:
    struct Call {
        bool Sent = false;  // false: posted
        uint32_t Message = 0;
        uint32_t WParam = 0;
    };

    // Called after a message is recorded (on the caller's thread), e.g. to stop a worker.
    std::function<void(const Call&)> OnMessage;
    // Called while the registered-parameters "dialog" is open; returning closes it.
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
            requests_.push_back(request);
        }
        if (OnRegisteredParams) {
            OnRegisteredParams(request);
        }
    }

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

    int Count(bool sent, uint32_t message, uint32_t wParam) const {
        const auto calls = Calls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) {
            return c.Sent == sent && c.Message == message && c.WParam == wParam;
        }));
    }
    std::vector<UserMessage> MessageBoxes() const {
        std::lock_guard lock(mutex_);
        return boxes_;
    }
    std::vector<RegisteredParamsRequest> RegisteredRequests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    // Waits (in wall time, up to 20 s) until a status code has come.
    bool WaitForStatus(uint32_t code) const {
        for (int i = 0; i < 20'000 && std::ranges::count(Statuses(), code) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::ranges::count(Statuses(), code) > 0;
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
    std::vector<RegisteredParamsRequest> requests_;
};

}  // namespace kresograf
