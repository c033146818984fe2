#pragma once
// The model shared by the LZARI encoder and decoder: coder constants, the adaptive symbol
// model (literals and match lengths) and the fixed position model.
#include <array>
#include <cstdint>
#include <cstring>

namespace archive::lzari {

inline constexpr int kWindowSize = 4096;
inline constexpr int kWindowMask = kWindowSize - 1;
inline constexpr int kLongestMatch = 60;
inline constexpr int kThreshold = 2;  // matches are at least kThreshold + 1 bytes
inline constexpr int kSymbolCount = 256 + kLongestMatch - kThreshold;    // 314
inline constexpr int kFirstWritePosition = kWindowSize - kLongestMatch;  // 4036
inline constexpr std::uint8_t kInitialFill = 0x20;

inline constexpr int kCodeBits = 17;
inline constexpr std::uint32_t kQ1 = 0x8000;
inline constexpr std::uint32_t kQ2 = 2 * kQ1;
inline constexpr std::uint32_t kQ3 = 3 * kQ1;
inline constexpr std::uint32_t kQ4 = 4 * kQ1;
inline constexpr std::uint32_t kFrequencyLimit = 0x7FFF;

// Code of a match of the given length (3..60); codes below 256 are literal bytes.
constexpr int matchCode(int length) {
    return 255 - kThreshold + length;
}
constexpr int matchLength(int code) {
    return code - 255 + kThreshold;
}

// Fixed weights of match positions: position p weighs floor(10000 / (p + 201)), so near
// matches are cheap. positionCum[i] is the total weight of positions i..4095.
constexpr std::array<std::uint32_t, kWindowSize + 1> makePositionCum() {
    std::array<std::uint32_t, kWindowSize + 1> cum{};
    cum[kWindowSize] = 0;
    for (int i = kWindowSize; i >= 1; --i) {
        cum[i - 1] = cum[i] + 10000u / static_cast<std::uint32_t>(i + 200);
    }
    return cum;
}
inline constexpr std::array<std::uint32_t, kWindowSize + 1> positionCum = makePositionCum();
static_assert(positionCum[0] == 28568);

// Symbols 1..314 are places in falling-frequency order; each holds one code. symbolCum[i] is
// the total frequency of symbols i+1..314, so symbolCum[0] is the grand total. symbolFreq[0]
// is a sentinel that stays 0. Frequencies and totals stay below 0x8000, so 16 bits hold them.
struct SymbolModel {
    std::array<std::uint16_t, kSymbolCount + 1> symbolFreq;
    std::array<std::uint16_t, kSymbolCount + 1> symbolCum;
    std::array<std::uint16_t, kSymbolCount + 1> symbolToCode;
    std::array<std::uint16_t, kSymbolCount> codeToSymbol;

    void reset() {
        symbolCum[kSymbolCount] = 0;
        for (int s = kSymbolCount; s >= 1; --s) {
            symbolToCode[s] = static_cast<std::uint16_t>(s - 1);
            codeToSymbol[s - 1] = static_cast<std::uint16_t>(s);
            symbolFreq[s] = 1;
            symbolCum[s - 1] = static_cast<std::uint16_t>(symbolCum[s] + 1);
        }
        symbolFreq[0] = 0;
        symbolToCode[0] = 0;
    }

    // Counts one more occurrence of symbol s, halving all frequencies first when the total has
    // reached the limit, and moves its code up to the first symbol of equal frequency.
    void update(int s) {
        if (symbolCum[0] >= kFrequencyLimit) {
            std::uint32_t total = 0;
            for (int i = kSymbolCount; i > 0; --i) {
                symbolCum[i] = static_cast<std::uint16_t>(total);
                symbolFreq[i] = static_cast<std::uint16_t>((symbolFreq[i] + 1) / 2);
                total += symbolFreq[i];
            }
            symbolCum[0] = static_cast<std::uint16_t>(total);
        }
        // Frequencies never rise along 1..314 (an increment lands on the first of a run of
        // equals, halving keeps the order), so the first symbol of s's frequency is found by
        // bisection rather than by walking down the run one symbol at a time.
        const std::uint16_t frequency = symbolFreq[s];
        int lo = 1;
        int hi = s;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (symbolFreq[mid] > frequency) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        const int i = lo;
        if (i < s) {
            const std::uint16_t codeAtI = symbolToCode[i];
            const std::uint16_t codeAtS = symbolToCode[s];
            symbolToCode[i] = codeAtS;
            symbolToCode[s] = codeAtI;
            codeToSymbol[codeAtS] = static_cast<std::uint16_t>(i);
            codeToSymbol[codeAtI] = static_cast<std::uint16_t>(s);
        }
        ++symbolFreq[i];
        // Totals before i gain one. Four 16-bit totals at a time: every total stays below
        // 0x8000 (the limit is checked before counting), so no lane carries into the next.
        constexpr std::uint64_t kOneInEachLane = 0x0001000100010001u;
        int j = 0;
        for (; j + 4 <= i; j += 4) {
            std::uint64_t four;
            std::memcpy(&four, &symbolCum[j], sizeof four);
            four += kOneInEachLane;
            std::memcpy(&symbolCum[j], &four, sizeof four);
        }
        for (; j < i; ++j) {
            ++symbolCum[j];
        }
    }
};

}  // namespace archive::lzari
