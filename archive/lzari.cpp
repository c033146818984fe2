#include "archive/lzari.h"

#include <algorithm>
#include <array>

#include "archive/lzari_model.h"

namespace archive {

namespace {

using namespace lzari;

// The decoder's whole state; one static instance, reset at the start of every stream.
class LzariDecoder {
  public:
    DecodeStatus decode(std::span<const std::uint8_t> block, std::uint8_t* destination,
                        std::size_t capacity) {
        if (block.size() < kLzariSizeHeaderBytes) {
            return DecodeStatus::missingSizeHeader;
        }
        const std::uint32_t decodedSize = lzariDecodedSize(block);
        if (decodedSize > capacity) {
            return DecodeStatus::exceedsDestination;
        }
        start(block);
        std::uint32_t count = 0;
        int r = kFirstWritePosition;
        while (count < decodedSize) {
            if (bytesPastEnd_ > kLzariTailAllowance) {
                return DecodeStatus::streamEndsEarly;
            }
            const int code = decodeCode();
            if (code < 256) {
                const auto byte = static_cast<std::uint8_t>(code);
                destination[count++] = byte;
                window_[r] = byte;
                r = (r + 1) & kWindowMask;
                continue;
            }
            const int position = decodePosition();
            const int copyStart = (r - position - 1) & kWindowMask;
            // A match never runs past decodedSize: a stream that asks for more is corrupt, and
            // the destination may be exactly decodedSize long.
            const int length =
                static_cast<int>(std::min<std::uint32_t>(matchLength(code), decodedSize - count));
            for (int k = 0; k < length; ++k) {
                const std::uint8_t byte = window_[(copyStart + k) & kWindowMask];
                destination[count++] = byte;
                window_[r] = byte;
                r = (r + 1) & kWindowMask;
            }
        }
        // The last symbol may itself have needed the bytes beyond the allowance.
        return bytesPastEnd_ > kLzariTailAllowance ? DecodeStatus::streamEndsEarly
                                                   : DecodeStatus::ok;
    }

    std::size_t bytesPastEnd() const { return bytesPastEnd_; }

  private:
    void start(std::span<const std::uint8_t> block) {
        block_ = block;
        nextByte_ = kLzariSizeHeaderBytes;
        bytesPastEnd_ = 0;
        currentByte_ = 0;
        mask_ = 0;
        low_ = 0;
        high_ = kQ4;
        value_ = 0;
        for (int i = 0; i < kCodeBits; ++i) {
            value_ = 2 * value_ + getBit();
        }
        model_.reset();
        std::fill(window_.begin(), window_.begin() + kFirstWritePosition, kInitialFill);
        // Positions a well-formed stream writes before it reads; zero so a corrupt stream that
        // reads them early still decodes the same way every time.
        std::fill(window_.begin() + kFirstWritePosition, window_.end(), std::uint8_t{0});
    }

    std::uint32_t getBit() {
        mask_ >>= 1;
        if (mask_ == 0) {
            if (nextByte_ < block_.size()) {
                currentByte_ = block_[nextByte_++];
            } else {
                currentByte_ = 0;
                ++bytesPastEnd_;
            }
            mask_ = 0x80;
        }
        return (currentByte_ & mask_) != 0 ? 1u : 0u;
    }

    void renormalise() {
        for (;;) {
            if (low_ >= kQ2) {
                value_ -= kQ2;
                low_ -= kQ2;
                high_ -= kQ2;
            } else if (low_ >= kQ1 && high_ <= kQ3) {
                value_ -= kQ1;
                low_ -= kQ1;
                high_ -= kQ1;
            } else if (high_ > kQ2) {
                return;
            }
            low_ += low_;
            high_ += high_;
            value_ = 2 * value_ + getBit();
        }
    }

    int decodeCode() {
        const std::uint32_t range = high_ - low_;
        const std::uint32_t total = model_.symbolCum[0];
        const std::uint32_t x = ((value_ - low_ + 1) * total - 1) / range;
        int lo = 1;
        int hi = kSymbolCount;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (model_.symbolCum[mid] > x) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        const int s = lo;
        high_ = low_ + range * model_.symbolCum[s - 1] / total;
        low_ = low_ + range * model_.symbolCum[s] / total;
        renormalise();
        const int code = model_.symbolToCode[s];
        model_.update(s);
        return code;
    }

    int decodePosition() {
        const std::uint32_t range = high_ - low_;
        const std::uint32_t total = positionCum[0];
        const std::uint32_t x = ((value_ - low_ + 1) * total - 1) / range;
        int lo = 1;
        int hi = kWindowSize;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (positionCum[mid] > x) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        const int p = lo - 1;
        high_ = low_ + range * positionCum[p] / total;
        low_ = low_ + range * positionCum[p + 1] / total;
        renormalise();
        return p;
    }

    std::span<const std::uint8_t> block_;
    std::size_t nextByte_ = 0;
    std::size_t bytesPastEnd_ = 0;
    std::uint32_t currentByte_ = 0;
    std::uint32_t mask_ = 0;
    std::uint32_t low_ = 0;
    std::uint32_t high_ = 0;
    std::uint32_t value_ = 0;
    SymbolModel model_{};
    std::array<std::uint8_t, kWindowSize> window_{};
};

LzariDecoder decoder;

}  // namespace

std::uint32_t lzariDecodedSize(std::span<const std::uint8_t> block) {
    if (block.size() < kLzariSizeHeaderBytes) {
        return 0;
    }
    return static_cast<std::uint32_t>(block[0]) | static_cast<std::uint32_t>(block[1]) << 8 |
           static_cast<std::uint32_t>(block[2]) << 16 | static_cast<std::uint32_t>(block[3]) << 24;
}

DecodeStatus lzariDecode(std::span<const std::uint8_t> block, std::uint8_t* destination,
                         std::size_t capacity) {
    return decoder.decode(block, destination, capacity);
}

std::size_t lzariLastBytesPastEnd() {
    return decoder.bytesPastEnd();
}

const char* describe(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::ok:
            return "decoded";
        case DecodeStatus::missingSizeHeader:
            return "stored block is too short to hold its decoded size";
        case DecodeStatus::exceedsDestination:
            return "decoded size exceeds its destination";
        case DecodeStatus::streamEndsEarly:
            return "compressed stream ends before its decoded size";
    }
    return "unknown decode failure";
}

}  // namespace archive
