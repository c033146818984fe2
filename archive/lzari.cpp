#include "archive/lzari.h"

#include <algorithm>
#include <array>
#include <bit>

#include "archive/lzari_model.h"
#include "core/bytes.h"

namespace archive {

namespace {

using namespace lzari;

// The match position for every value of the position coder's scaled target: the position
// model never changes, so the search over its 4096 cumulative weights is done once here.
// positionForTarget[x] is the p with positionCum[p + 1] <= x < positionCum[p].
constexpr std::array<std::uint16_t, positionCum[0]> makePositionForTarget() {
    std::array<std::uint16_t, positionCum[0]> table{};
    for (int p = 0; p < kWindowSize; ++p) {
        for (std::uint32_t x = positionCum[p + 1]; x < positionCum[p]; ++x) {
            table[x] = static_cast<std::uint16_t>(p);
        }
    }
    return table;
}
constexpr std::array<std::uint16_t, positionCum[0]> positionForTarget = makePositionForTarget();

constexpr std::uint32_t kCodeMask = kQ4 - 1;  // the 17 bits of the coder registers

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
            if (bytesPastEnd() > kLzariTailAllowance) {
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
        return bytesPastEnd() > kLzariTailAllowance ? DecodeStatus::streamEndsEarly
                                                    : DecodeStatus::ok;
    }

    // Bytes fetched beyond the block: a byte counts as fetched once its first bit is taken.
    std::size_t bytesPastEnd() const {
        const std::uint64_t fetched = (bitPosition_ + 7) / 8;
        const std::uint64_t stored = block_.size() - kLzariSizeHeaderBytes;
        return fetched > stored ? static_cast<std::size_t>(fetched - stored) : 0;
    }

  private:
    void start(std::span<const std::uint8_t> block) {
        block_ = block;
        bitPosition_ = 0;
        low_ = 0;
        high_ = kQ4;
        value_ = takeBits(kCodeBits);
        model_.reset();
        std::fill(window_.begin(), window_.begin() + kFirstWritePosition, kInitialFill);
        // Positions a well-formed stream writes before it reads; zero so a corrupt stream that
        // reads them early still decodes the same way every time.
        std::fill(window_.begin() + kFirstWritePosition, window_.end(), std::uint8_t{0});
    }

    // The next count (1..17) bits of the stream, most significant first; past the block they
    // read as 0.
    std::uint32_t takeBits(int count) {
        const std::uint64_t byteIndex = kLzariSizeHeaderBytes + bitPosition_ / 8;
        std::uint64_t bits = 0;
        if (byteIndex + 8 <= block_.size()) {
            for (int b = 0; b < 8; ++b) {
                bits = bits << 8 | block_[byteIndex + b];
            }
        } else {
            for (int b = 0; b < 8; ++b) {
                const std::uint64_t at = byteIndex + b;
                bits = bits << 8 | (at < block_.size() ? block_[at] : 0u);
            }
        }
        bits <<= bitPosition_ % 8;
        bitPosition_ += static_cast<std::uint64_t>(count);
        return static_cast<std::uint32_t>(bits >> (64 - count));
    }

    // Doubles the interval until it straddles the middle widely enough. Where low and high - 1
    // agree in their leading bits, those bits are settled and all three registers shift them
    // out at once (taking as many new bits into value); where the interval straddles the middle
    // narrowly (low >= Q1, high <= Q3), it is widened around the middle one bit at a time. This
    // reaches the same registers as testing low >= Q2, then the straddle, then high <= Q2, one
    // bit per round: the three steps commute wherever more than one applies.
    void renormalise() {
        for (;;) {
            const std::uint32_t highInclusive = high_ - 1;
            const std::uint32_t differing = (low_ ^ highInclusive) & kCodeMask;
            const int settled =
                differing == 0 ? kCodeBits : std::countl_zero(differing) - (32 - kCodeBits);
            if (settled > 0) {
                low_ = (low_ << settled) & kCodeMask;
                high_ = (((highInclusive << settled) | ((1u << settled) - 1)) & kCodeMask) + 1;
                value_ = ((value_ << settled) & kCodeMask) | takeBits(settled);
                continue;
            }
            if (low_ >= kQ1 && high_ <= kQ3) {
                value_ = 2 * (value_ - kQ1) + takeBits(1);
                low_ = 2 * (low_ - kQ1);
                high_ = 2 * (high_ - kQ1);
                continue;
            }
            return;
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
        const int p = positionForTarget[x];
        high_ = low_ + range * positionCum[p] / total;
        low_ = low_ + range * positionCum[p + 1] / total;
        renormalise();
        return p;
    }

    std::span<const std::uint8_t> block_;
    std::uint64_t bitPosition_ = 0;  // bits taken from the stream after the size header
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
    return core::readLittle32(block.data());
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
