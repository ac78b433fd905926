#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <future>

#include "gui/shell/frame_bridge.h"

namespace kresograf {
namespace {

// Counts the calls that reach the handlers and whether each ran on the UI thread.
struct Recorder {
    std::atomic<int> Messages{0};
    std::atomic<bool> OnUiThread{true};
    std::atomic<uint32_t> LastWParam{0};

    void Seen() {
        OnUiThread = OnUiThread && QThread::currentThread() == qApp->thread();
        ++Messages;
    }
    FrameBridge::Handlers Handlers() {
        return {[this](uint32_t, uint32_t wParam) {
                    LastWParam = wParam;
                    Seen();
                },
                [this](const UserMessage&) { Seen(); },
                [this](const RegisteredParamsRequest&) { Seen(); }};
    }
};

bool Finished(std::future<void>& future) {
    return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

TEST(FrameBridge, SentAndModalCallsWaitForTheUiThreadPostedOnesDoNot) {
    Recorder recorder;
    FrameBridge bridge(recorder.Handlers());

    std::atomic<int> seenBySender{-1};
    auto sent = std::async(std::launch::async, [&] {
        bridge.SendMessage(WM_DOC_UPDATE, 2);
        seenBySender = recorder.Messages.load();
    });
    // The UI thread has not run its queue: the sender must still be waiting.
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    EXPECT_EQ(recorder.Messages.load(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(sent); }, 10000));
    // The handler had run before SendMessage returned.
    EXPECT_EQ(seenBySender.load(), 1);
    EXPECT_EQ(recorder.LastWParam.load(), 2u);

    auto posted = std::async(std::launch::async, [&] { bridge.PostMessage(WM_ACQ_STATUS, 4); });
    EXPECT_EQ(posted.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(recorder.Messages.load(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.Messages.load() == 2; }, 10000));
    EXPECT_EQ(recorder.LastWParam.load(), 4u);

    auto modal = std::async(std::launch::async, [&] {
        bridge.ShowMessageBox(UserMessage{"Błąd", "x", MessageIcon::Stop});
        bridge.ShowRegisteredParams(RegisteredParamsRequest{});
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return Finished(modal); }, 10000));
    EXPECT_EQ(recorder.Messages.load(), 4);
    EXPECT_TRUE(recorder.OnUiThread.load());

    // From the UI thread itself a sent message runs at once instead of waiting on itself.
    bridge.SendMessage(WM_ACQ_ENDED, 0);
    EXPECT_EQ(recorder.Messages.load(), 5);
}

TEST(FrameBridge, ShutdownReleasesAWaitingWorkerAndDropsItsWork) {
    Recorder recorder;
    FrameBridge bridge(recorder.Handlers());
    auto sent = std::async(std::launch::async, [&] { bridge.SendMessage(WM_DOC_UPDATE, 2); });
    auto modal = std::async(std::launch::async,
                            [&] { bridge.ShowRegisteredParams(RegisteredParamsRequest{}); });
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);

    // The window goes away without ever running its queue: the workers must not hang.
    bridge.Shutdown();
    EXPECT_EQ(sent.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(modal.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Messages.load(), 0);

    // Later calls return at once and do nothing.
    auto late = std::async(std::launch::async, [&] {
        bridge.SendMessage(WM_ACQ_ENDED, 0);
        bridge.PostMessage(WM_ACQ_STATUS, 1);
    });
    EXPECT_EQ(late.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Messages.load(), 0);
}

}  // namespace
}  // namespace kresograf
