#include "core/stop.h"

#include <atomic>
#include <csignal>

namespace core {

namespace {
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler stores without a lock");

void noteSignal(int signal) {
    caught.store(signal, std::memory_order_relaxed);
}
}  // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = &noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int stopSignal() {
    return caught.load(std::memory_order_relaxed);
}

const char* signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        default:
            return "a signal";
    }
}

}  // namespace core
