#include "gui/shell/frame_bridge.h"

#include <QThread>
#include <memory>

namespace kresograf {

FrameBridge::FrameBridge(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)) {}

FrameBridge::~FrameBridge() {
    Shutdown();
}

void FrameBridge::SendMessage(uint32_t message, uint32_t wParam) {
    RunAndWait([this, message, wParam] { handlers_.Message(message, wParam); });
}

void FrameBridge::PostMessage(uint32_t message, uint32_t wParam) {
    Post([this, message, wParam] { handlers_.Message(message, wParam); });
}

void FrameBridge::ShowMessageBox(const UserMessage& message) {
    RunAndWait([this, message] { handlers_.MessageBox(message); });
}

void FrameBridge::ShowRegisteredParams(const RegisteredParamsRequest& request) {
    RunAndWait([this, request] { handlers_.RegisteredParams(request); });
}

void FrameBridge::Shutdown() {
    {
        std::lock_guard lock(mutex_);
        shutdown_ = true;
    }
    finished_.notify_all();
}

bool FrameBridge::IsShutDown() const {
    std::lock_guard lock(mutex_);
    return shutdown_;
}

void FrameBridge::RunAndWait(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        if (!IsShutDown()) {
            work();
        }
        return;
    }
    // The call's own completion flag, shared with the queued functor: the functor may still be
    // in the queue after the waiter has given up on a shut-down bridge.
    auto done = std::make_shared<bool>(false);
    {
        std::lock_guard lock(mutex_);
        if (shutdown_) {
            return;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, done, work = std::move(work)] {
            if (!IsShutDown()) {
                work();
            }
            {
                std::lock_guard lock(mutex_);
                *done = true;
            }
            finished_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return *done || shutdown_; });
}

void FrameBridge::Post(std::function<void()> work) {
    if (IsShutDown()) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            if (!IsShutDown()) {
                work();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace kresograf
