#pragma once
// The model shared by the LZARI encoder and decoder: coder constants, the adaptive symbol
// model (literals and match lengths) and the fixed position model.
#include <array>
#include <cstdint>

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
// is a sentinel that stays 0 and stops the search for the first symbol of equal frequency.
struct SymbolModel {
    std::array<std::uint32_t, kSymbolCount + 1> symbolFreq;
    std::array<std::uint32_t, kSymbolCount + 1> symbolCum;
    std::array<std::uint16_t, kSymbolCount + 1> symbolToCode;
    std::array<std::uint16_t, kSymbolCount> codeToSymbol;

    void reset() {
        symbolCum[kSymbolCount] = 0;
        for (int s = kSymbolCount; s >= 1; --s) {
            symbolToCode[s] = static_cast<std::uint16_t>(s - 1);
            codeToSymbol[s - 1] = static_cast<std::uint16_t>(s);
            symbolFreq[s] = 1;
            symbolCum[s - 1] = symbolCum[s] + 1;
        }
        symbolFreq[0] = 0;
        symbolToCode[0] = 0;
    }

    // Counts one more occurrence of symbol s, halving all frequencies first when the total has
    // reached the limit, and moves its code up past the symbols of equal frequency.
    void update(int s) {
        if (symbolCum[0] >= kFrequencyLimit) {
            std::uint32_t total = 0;
            for (int i = kSymbolCount; i > 0; --i) {
                symbolCum[i] = total;
                symbolFreq[i] = (symbolFreq[i] + 1) / 2;
                total += symbolFreq[i];
            }
            symbolCum[0] = total;
        }
        int i = s;
        while (symbolFreq[i] == symbolFreq[i - 1]) {
            --i;
        }
        if (i < s) {
            const std::uint16_t codeAtI = symbolToCode[i];
            const std::uint16_t codeAtS = symbolToCode[s];
            symbolToCode[i] = codeAtS;
            symbolToCode[s] = codeAtI;
            codeToSymbol[codeAtS] = static_cast<std::uint16_t>(i);
            codeToSymbol[codeAtI] = static_cast<std::uint16_t>(s);
        }
        ++symbolFreq[i];
        while (--i >= 0) {
            ++symbolCum[i];
        }
    }
};

}  // namespace archive::lzari
