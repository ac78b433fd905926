#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>
#include <memory>

namespace kresograf {

// A thread with a stack of a chosen size, whose start may fail without throwing: a program short
// of memory (or of threads) is told so and goes on, where std::thread would throw or abort. The
// program's threads run shallow code, so a small stack keeps a long recording within a tight
// memory limit (a default stack is 8 MB of address space counted as data).
class WorkerThread {
  public:
    static constexpr std::size_t DefaultStackBytes = std::size_t{1} << 20;

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs body on a new thread. False, with nothing started, when the system cannot give one.
    bool Start(std::function<void()> body, std::size_t stackBytes = DefaultStackBytes);
    // Waits for the thread to end; nothing when none runs.
    void Join();
    bool Joinable() const { return started_; }

  private:
    pthread_t thread_{};
    bool started_ = false;
};

}  // namespace kresograf
