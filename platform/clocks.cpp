// The real and the virtual clock behind platform::Clock.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/clock.h"

namespace platform {

namespace {

// True once `now` has reached `target`, with both on a clock that wraps at 2^32.
bool reached(std::uint32_t now, std::uint32_t target) {
    return static_cast<std::int32_t>(now - target) >= 0;
}

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
            if (reached(now, target)) {
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

class VirtualClock final : public Clock {
  public:
    std::uint32_t milliseconds() override { return now_; }

    void waitUntil(std::uint32_t target) override {
        // Ticks that fall due on the way fire in order, at their own virtual time.
        while (tick_ != nullptr && !reached(nextTick_, target + 1)) {
            now_ = nextTick_;
            nextTick_ += period_;
            tick_();
        }
        if (!reached(now_, target)) {
            now_ = target;
        }
    }

    void startTicks(TickFunction tick, std::uint32_t periodMs) override {
        tick_ = tick;
        period_ = periodMs;
        nextTick_ = now_ + periodMs;
    }

    void stopTicks() override { tick_ = nullptr; }

  private:
    std::uint32_t now_ = kVirtualClockStart;
    std::uint32_t nextTick_ = 0;
    std::uint32_t period_ = 16;
    TickFunction tick_ = nullptr;
};

}  // namespace

Clock& realClock() {
    static RealClock clock;
    return clock;
}

std::unique_ptr<Clock> makeVirtualClock() {
    return std::make_unique<VirtualClock>();
}

Clock& virtualClock() {
    static VirtualClock clock;
    return clock;
}

}  // namespace platform
