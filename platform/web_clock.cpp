// The real clock in the browser: the page's monotonic time. The page's loop never waits (each
// turn runs the frames due by then), and the ticks fire on the program's own thread whenever
// it looks at the time, catching up any that fell due meanwhile.
#include <emscripten.h>

#include <cmath>

#include "platform/clock.h"

namespace platform {

namespace {

class WebClock final : public Clock {
  public:
    WebClock() : start_(emscripten_get_now()) {}

    std::uint32_t milliseconds() override {
        const std::uint32_t now = readTime();
        fireDueTicks(now);
        return now;
    }

    // Nothing waits on the page's thread: the loop's turns come from the page.
    void waitUntil(std::uint32_t) override {}

    void startTicks(TickFunction tick, std::uint32_t periodMs) override {
        tick_ = tick;
        period_ = periodMs;
        nextTick_ = readTime() + periodMs;
    }

    void stopTicks() override { tick_ = nullptr; }

  private:
    std::uint32_t readTime() const {
        return kVirtualClockStart +
               static_cast<std::uint32_t>(std::floor(emscripten_get_now() - start_));
    }

    void fireDueTicks(std::uint32_t now) {
        while (tick_ != nullptr && timeReached(now, nextTick_)) {
            nextTick_ += period_;
            tick_();
        }
    }

    double start_;
    TickFunction tick_ = nullptr;
    std::uint32_t period_ = 16;
    std::uint32_t nextTick_ = 0;
};

}  // namespace

Clock& realClock() {
    static WebClock clock;
    return clock;
}

void nameThisThread(const char*) {}

}  // namespace platform
