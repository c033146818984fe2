#pragma once
// Finished frames passed from the thread that draws them to the thread that shows them, with
// neither ever waiting for the other: three buffers, one being written, one ready, one being
// shown. Publishing swaps the written buffer with the ready one; taking swaps the ready one
// with the shown one, only when something new was published. A frame that is never taken is
// simply replaced by a newer one.
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace platform {

class FrameHandoff {
  public:
    // Three buffers of `bytes` each; neither side may be running.
    void allocate(std::size_t bytes) {
        for (Slot& slot : slots_) {
            slot.bytes.assign(bytes, 0);
            slot.label = 0;
        }
        writing_ = 0;
        showing_ = 1;
        ready_.store(2, std::memory_order_relaxed);
    }

    // Drawing thread: where the next frame goes, and its label (what it belongs to).
    std::uint8_t* writeBuffer() { return slots_[writing_].bytes.data(); }
    void publish(int label) {
        slots_[writing_].label = label;
        writing_ = ready_.exchange(writing_ | kFresh, std::memory_order_acq_rel) & kIndex;
    }

    // Showing thread: the newest frame published since the last take, or null when none came.
    const std::uint8_t* takeNewest() {
        if ((ready_.load(std::memory_order_acquire) & kFresh) == 0) {
            return nullptr;
        }
        showing_ = ready_.exchange(showing_, std::memory_order_acq_rel) & kIndex;
        return slots_[showing_].bytes.data();
    }
    // Showing thread: the frame taken last (what the screen shows) and its label.
    const std::uint8_t* shown() const { return slots_[showing_].bytes.data(); }
    int shownLabel() const { return slots_[showing_].label; }

  private:
    static constexpr int kIndex = 3;
    static constexpr int kFresh = 4;
    struct Slot {
        std::vector<std::uint8_t> bytes;
        int label = 0;
    };
    std::array<Slot, 3> slots_;
    int writing_ = 0;            // drawing thread only
    int showing_ = 1;            // showing thread only
    std::atomic<int> ready_{2};  // index of the ready buffer, with kFresh when not yet taken
};

}  // namespace platform
