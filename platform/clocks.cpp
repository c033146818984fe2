// The virtual clock behind platform::Clock.
#include "platform/clock.h"

namespace platform {

namespace {

class VirtualClock final : public Clock {
  public:
    std::uint32_t milliseconds() override { return now_; }

    void waitUntil(std::uint32_t target) override {
        // Ticks that fall due on the way fire in order, at their own virtual time.
        while (tick_ != nullptr && !timeReached(nextTick_, target + 1)) {
            now_ = nextTick_;
            nextTick_ += period_;
            tick_();
        }
        if (!timeReached(now_, target)) {
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

std::unique_ptr<Clock> makeVirtualClock() {
    return std::make_unique<VirtualClock>();
}

Clock& virtualClock() {
    static VirtualClock clock;
    return clock;
}

}  // namespace platform
