#include "base/worker_thread.h"

#include <limits.h>

#include <algorithm>

namespace kresograf {
namespace {

extern "C" void* RunBody(void* argument) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
    (*body)();
    return nullptr;
}

}  // namespace

WorkerThread::~WorkerThread() {
    Join();
}

bool WorkerThread::Start(std::function<void()> body, std::size_t stackBytes) {
    Join();
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    pthread_attr_setstacksize(&attributes, std::max<std::size_t>(stackBytes, PTHREAD_STACK_MIN));
    auto* argument = new (std::nothrow) std::function<void()>(std::move(body));
    const bool started =
        argument != nullptr && pthread_create(&thread_, &attributes, RunBody, argument) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) {
        delete argument;
        return false;
    }
    started_ = true;
    return true;
}

void WorkerThread::Join() {
    if (started_) {
        pthread_join(thread_, nullptr);
        started_ = false;
    }
}

}  // namespace kresograf
