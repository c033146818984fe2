// The real clock on the desktop: steady_clock time, sleeps for waits, a thread for the ticks.
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/clock.h"

namespace platform {

namespace {

class RealClock final : public Clock {
  public:
    RealClock() : start_(std::chrono::steady_clock::now()) {}
    ~RealClock() override { stopTicks(); }

    std::uint32_t milliseconds() override {
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        // Offset like the virtual clock so both start far from 0.
        return kVirtualClockStart +
               static_cast<std::uint32_t>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }

    void waitUntil(std::uint32_t target) override {
        // Sleep for the bulk of the wait, then yield through the last millisecond so the
        // release is neither early nor late by a scheduler quantum.
        for (;;) {
            const std::uint32_t now = milliseconds();
            if (timeReached(now, target)) {
                return;
            }
            const std::uint32_t remaining = target - now;
            if (remaining > 1) {
                std::this_thread::sleep_for(std::chrono::milliseconds(remaining - 1));
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
    }

    void startTicks(TickFunction tick, std::uint32_t periodMs) override {
        stopTicks();
        running_ = true;
        ticker_ = std::thread([this, tick, periodMs] {
            nameThisThread("sg2-tick");
            auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(periodMs);
            std::unique_lock lock(mutex_);
            while (running_) {
                if (wake_.wait_until(lock, due, [this] { return !running_; })) {
                    break;
                }
                lock.unlock();
                tick();
                lock.lock();
                due += std::chrono::milliseconds(periodMs);
            }
        });
    }

    void stopTicks() override {
        {
            std::lock_guard lock(mutex_);
            running_ = false;
        }
        wake_.notify_all();
        if (ticker_.joinable()) {
            ticker_.join();
        }
    }

  private:
    std::chrono::steady_clock::time_point start_;
    std::thread ticker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool running_ = false;
};

}  // namespace

Clock& realClock() {
    static RealClock clock;
    return clock;
}

void nameThisThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

}  // namespace platform
