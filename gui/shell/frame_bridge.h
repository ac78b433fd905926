#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "base/frame_link.h"

namespace kresograf {

// The main frame as the acquisition worker reaches it: every call is carried out on the thread
// that owns this object (the UI thread). Sent messages and the two modal requests wait until the
// UI thread has handled them; posted messages return at once. Once Shutdown() is called, waits
// end at once and pending work is dropped, so a worker never hangs on a window that is going away.
// The owner must stop and join the worker before destroying the bridge.
class FrameBridge : public QObject, public FrameLink {
    Q_OBJECT

  public:
    struct Handlers {
        std::function<void(uint32_t message, uint32_t wParam)> Message;
        std::function<void(const UserMessage&)> MessageBox;
        std::function<void(const RegisteredParamsRequest&)> RegisteredParams;
    };

    explicit FrameBridge(Handlers handlers, QObject* parent = nullptr);
    ~FrameBridge() override;

    void SendMessage(uint32_t message, uint32_t wParam) override;
    void PostMessage(uint32_t message, uint32_t wParam) override;
    void ShowMessageBox(const UserMessage& message) override;
    void ShowRegisteredParams(const RegisteredParamsRequest& request) override;

    void Shutdown();
    bool IsShutDown() const;

  private:
    void RunAndWait(std::function<void()> work);
    void Post(std::function<void()> work);

    Handlers handlers_;
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    bool shutdown_ = false;
};

}  // namespace kresograf
