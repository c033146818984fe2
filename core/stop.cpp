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

struct Named {
    int signal;
    const char* name;
    bool interruption;
};
constexpr Named kStopSignals[] = {{SIGHUP, "SIGHUP", false},
                                  {SIGINT, "SIGINT", true},
                                  {SIGQUIT, "SIGQUIT", false},
                                  {SIGTERM, "SIGTERM", true},
                                  {SIGXFSZ, "SIGXFSZ", false}};
}  // namespace

void catchStopSignals(bool interruptions) {
    struct sigaction action {};
    action.sa_handler = &noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const Named& stop : kStopSignals) {
        if (interruptions || !stop.interruption) {
            sigaction(stop.signal, &action, nullptr);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

int stopSignal() {
    return caught.load(std::memory_order_relaxed);
}

int endStatus(int status) {
    const int signal = stopSignal();
    return status != 0 && signal != 0 ? stoppedStatus(signal) : status;
}

const char* signalName(int signal) {
    for (const Named& stop : kStopSignals) {
        if (stop.signal == signal) {
            return stop.name;
        }
    }
    return "a signal";
}

}  // namespace core
