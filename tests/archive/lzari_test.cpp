#include "archive/lzari.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <vector>

#include "archive/lzari_model.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes decodeAll(const Bytes& block, std::size_t capacity) {
    Bytes out(capacity, 0xEE);
    EXPECT_EQ(archive::lzariDecode(block, out.data(), out.size()), archive::DecodeStatus::ok);
    out.resize(archive::lzariDecodedSize(block));
    return out;
}

Bytes roundTrip(const Bytes& data) {
    const Bytes block = archive::lzariEncode(data);
    return decodeAll(block, data.size());
}

// A deterministic generator for test data, independent of the program's own.
struct TestRandom {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

// Text-like and picture-like stretches, runs, noise, and repeats from far back in the window.
Bytes mixedData(std::size_t size) {
    TestRandom random{12345};
    Bytes data;
    data.reserve(size);
    while (data.size() < size) {
        switch (random.next() % 5) {
            case 0: {  // noise
                for (int i = 0, n = 1 + random.next() % 200; i < n; ++i) {
                    data.push_back(static_cast<std::uint8_t>(random.next()));
                }
                break;
            }
            case 1: {  // a run
                const auto byte = static_cast<std::uint8_t>(random.next());
                data.insert(data.end(), 1 + random.next() % 300, byte);
                break;
            }
            case 2: {  // a gradient, as in a picture row
                const auto start = random.next();
                for (int i = 0, n = 1 + random.next() % 320; i < n; ++i) {
                    data.push_back(static_cast<std::uint8_t>(start + i / 3));
                }
                break;
            }
            default: {  // copy from up to 4095 bytes back (near and far matches)
                if (data.size() < 8) {
                    data.push_back(0x20);
                    break;
                }
                const std::size_t back =
                    1 + random.next() % std::min<std::size_t>(4095, data.size());
                const std::size_t length = 1 + random.next() % 90;
                const std::size_t from = data.size() - back;
                for (std::size_t k = 0; k < length; ++k) {
                    data.push_back(data[from + k]);
                }
                break;
            }
        }
    }
    data.resize(size);
    return data;
}

TEST(LzariRoundTrip, EmptyInputIsTheSizeAlone) {
    const Bytes block = archive::lzariEncode({});
    EXPECT_EQ(block, (Bytes{0, 0, 0, 0}));
    Bytes out(4, 0x77);
    EXPECT_EQ(archive::lzariDecode(block, out.data(), 0), archive::DecodeStatus::ok);
    EXPECT_EQ(out, (Bytes{0x77, 0x77, 0x77, 0x77}));
}

// Worked by hand: 'A' is symbol 66 of 314; the interval narrows to [103521, 103939) of
// 2^17, renormalising emits 1100101 (one bit pending along the way), and the end adds 01
// and seven zeros.
TEST(LzariRoundTrip, OneByteStreamIsBitExact) {
    const Bytes block = archive::lzariEncode(Bytes{0x41});
    EXPECT_EQ(block, (Bytes{0x01, 0x00, 0x00, 0x00, 0xCA, 0x80}));
    EXPECT_EQ(decodeAll(block, 1), Bytes{0x41});
}

TEST(LzariRoundTrip, LiteralsRunsAndTheInitialFill) {
    Bytes literals{'S', 't', 'o', 'r', 'm', 0x00, 0xFF, 0x80, 0x7F, 0x01};
    EXPECT_EQ(roundTrip(literals), literals);

    // A run of one byte decodes through matches that overlap their own output.
    const Bytes run(10000, 0xA5);
    const Bytes runBlock = archive::lzariEncode(run);
    EXPECT_LT(runBlock.size(), 300u);
    EXPECT_EQ(decodeAll(runBlock, run.size()), run);

    // Spaces match the window's initial fill from the very first byte.
    const Bytes spaces(500, 0x20);
    const Bytes spaceBlock = archive::lzariEncode(spaces);
    EXPECT_LT(spaceBlock.size(), 30u);
    EXPECT_EQ(decodeAll(spaceBlock, spaces.size()), spaces);

    Bytes allValues(256);
    std::iota(allValues.begin(), allValues.end(), 0);
    EXPECT_EQ(roundTrip(allValues), allValues);
    Bytes descending(allValues.rbegin(), allValues.rend());
    // Appended through an inserter: GCC 12 at -O3 misreads insert() on a full vector.
    std::copy(allValues.begin(), allValues.end(), std::back_inserter(descending));
    EXPECT_EQ(roundTrip(descending), descending);
}

// A match is cut where the input ends; cut to the threshold or below it must go as literals,
// as no shorter match than kThreshold + 1 can be coded.
TEST(LzariRoundTrip, MatchesCutAtTheEndToTheThresholdDecodeToTheInput) {
    const Bytes small{'a', 'b', 0, 'a', 'b'};
    EXPECT_EQ(roundTrip(small), small);
    for (const std::size_t bodyLength : {5u, 61u, 300u, 4100u}) {
        const Bytes body = mixedData(bodyLength);
        for (std::size_t from : {std::size_t{0}, bodyLength / 2, bodyLength - 4}) {
            for (int tail = 1; tail <= archive::lzari::kThreshold + 1; ++tail) {
                Bytes data = body;
                data.insert(data.end(), body.begin() + static_cast<long>(from),
                            body.begin() + static_cast<long>(from) + tail);
                EXPECT_EQ(roundTrip(data), data)
                    << bodyLength << " bytes, then " << tail << " from " << from;
            }
        }
    }
}

TEST(LzariRoundTrip, EveryLengthUpToTwoWindows) {
    const Bytes source = mixedData(2 * 4096 + 61);
    for (std::size_t length :
         {2u, 3u, 59u, 60u, 61u, 62u, 119u, 120u, 121u, 4035u, 4036u, 4096u, 4097u, 8192u, 8253u}) {
        const Bytes data(source.begin(), source.begin() + length);
        EXPECT_EQ(roundTrip(data), data) << "length " << length;
    }
}

TEST(LzariRoundTrip, LargeMixedFileCrossesManyRescales) {
    const Bytes data = mixedData(300 * 1024);
    const Bytes block = archive::lzariEncode(data);
    // 300 KB of symbols halves the frequencies dozens of times; compression must still work.
    EXPECT_LT(block.size(), data.size() * 3 / 4);
    EXPECT_EQ(decodeAll(block, data.size()), data);
}

TEST(LzariRoundTrip, RescaleBoundary) {
    // Exactly enough symbols to bring the total to the limit, then a few more.
    const int updatesToLimit =
        static_cast<int>(archive::lzari::kFrequencyLimit) - archive::lzari::kSymbolCount;
    TestRandom random{99};
    for (int extra : {-1, 0, 1, 2}) {
        Bytes data;
        for (int i = 0; i < updatesToLimit + extra; ++i) {
            data.push_back(static_cast<std::uint8_t>(random.next() & 0x3F));
        }
        EXPECT_EQ(roundTrip(data), data) << "extra " << extra;
    }
}

TEST(LzariModel, InitialTablesAndRescale) {
    archive::lzari::SymbolModel model;
    model.reset();
    EXPECT_EQ(model.symbolCum[0], 314u);
    EXPECT_EQ(model.symbolCum[1], 313u);
    EXPECT_EQ(model.symbolCum[314], 0u);
    EXPECT_EQ(model.symbolToCode[1], 0u);
    EXPECT_EQ(model.symbolToCode[314], 313u);
    EXPECT_EQ(archive::lzari::positionCum[4096], 0u);
    EXPECT_EQ(archive::lzari::positionCum[4095], 10000u / 4296u);
    EXPECT_EQ(archive::lzari::positionCum[0], 28568u);

    // The symbol of code 200 climbs to place 1, swapping codes with the symbol there.
    model.update(201);
    EXPECT_EQ(model.symbolToCode[1], 200u);
    EXPECT_EQ(model.symbolToCode[201], 0u);
    EXPECT_EQ(model.codeToSymbol[200], 1u);
    EXPECT_EQ(model.codeToSymbol[0], 201u);
    EXPECT_EQ(model.symbolFreq[1], 2u);
    EXPECT_EQ(model.symbolCum[0], 315u);
    EXPECT_EQ(model.symbolCum[1], 313u);

    // Drive the total to the limit; the next update halves (rounding up) before counting.
    while (model.symbolCum[0] < archive::lzari::kFrequencyLimit) {
        model.update(1);
    }
    const std::uint32_t topBefore = model.symbolFreq[1];
    model.update(1);
    EXPECT_EQ(model.symbolFreq[1], (topBefore + 1) / 2 + 1);
    EXPECT_EQ(model.symbolFreq[314], 1u);  // (1 + 1) / 2 keeps every symbol alive
    std::uint32_t total = 0;
    for (int s = 1; s <= 314; ++s) {
        total += model.symbolFreq[s];
    }
    EXPECT_EQ(model.symbolCum[0], total);
}

// The model's update, step by step as the scheme states it: walk down the run of equal
// frequencies, swap codes, count, and add one to every total before the symbol.
struct PlainModel {
    std::array<std::uint32_t, 315> freq{};
    std::array<std::uint32_t, 315> cum{};
    std::array<std::uint32_t, 315> code{};
    PlainModel() {
        for (int s = 314; s >= 1; --s) {
            code[s] = s - 1;
            freq[s] = 1;
            cum[s - 1] = cum[s] + 1;
        }
    }
    void update(int s) {
        if (cum[0] >= 0x7FFF) {
            std::uint32_t c = 0;
            for (int i = 314; i > 0; --i) {
                cum[i] = c;
                freq[i] = (freq[i] + 1) / 2;
                c += freq[i];
            }
            cum[0] = c;
        }
        int i = s;
        while (freq[i] == freq[i - 1]) {
            --i;
        }
        std::swap(code[i], code[s]);
        ++freq[i];
        while (--i >= 0) {
            ++cum[i];
        }
    }
};

TEST(LzariModel, MatchesThePlainUpdateThroughManyRescales) {
    archive::lzari::SymbolModel model;
    model.reset();
    PlainModel plain;
    TestRandom random{7};
    for (int step = 0; step < 200000; ++step) {
        // Skewed choices so some symbols climb far and runs of equal frequencies form.
        const std::uint32_t r = random.next();
        const int s =
            1 + static_cast<int>((r % 314) * ((r >> 9) % 4 == 0 ? 1 : (r >> 12) % 8) % 314);
        model.update(s);
        plain.update(s);
        if (step % 997 == 0 || step > 199000) {
            for (int k = 0; k <= 314; ++k) {
                ASSERT_EQ(model.symbolFreq[k], plain.freq[k]) << step << " " << k;
                ASSERT_EQ(model.symbolCum[k], plain.cum[k]) << step << " " << k;
                if (k > 0) {
                    ASSERT_EQ(model.symbolToCode[k], plain.code[k]) << step << " " << k;
                    ASSERT_EQ(model.codeToSymbol[plain.code[k]], k);
                }
            }
        }
    }
}

TEST(LzariDecode, NeverWritesPastItsCapacity) {
    const Bytes data = mixedData(5000);
    const Bytes block = archive::lzariEncode(data);
    Bytes out(6000, 0xEE);
    EXPECT_EQ(archive::lzariDecode(block, out.data(), 4999),
              archive::DecodeStatus::exceedsDestination);
    EXPECT_EQ(out[0], 0xEE);  // refused before writing anything
    EXPECT_EQ(archive::lzariDecode(block, out.data(), 5000), archive::DecodeStatus::ok);
    EXPECT_EQ(out[5000], 0xEE);
}

TEST(LzariDecode, ShortAndCutStreams) {
    Bytes out(64);
    EXPECT_EQ(archive::lzariDecode(Bytes{1, 0, 0}, out.data(), out.size()),
              archive::DecodeStatus::missingSizeHeader);
    EXPECT_EQ(archive::lzariDecodedSize(Bytes{1, 0, 0}), 0u);
    EXPECT_EQ(archive::lzariDecodedSize(Bytes{0x04, 0x03, 0x02, 0x01}), 0x01020304u);

    // The size header alone, announcing bytes that never come.
    EXPECT_EQ(archive::lzariDecode(Bytes{40, 0, 0, 0}, out.data(), out.size()),
              archive::DecodeStatus::streamEndsEarly);

    const Bytes data = mixedData(20000);
    Bytes block = archive::lzariEncode(data);
    Bytes big(data.size());
    block.resize(block.size() / 2);
    EXPECT_EQ(archive::lzariDecode(block, big.data(), big.size()),
              archive::DecodeStatus::streamEndsEarly);
}

TEST(LzariDecode, WellFormedStreamsNeedAtMostTwoBytesPastTheirEnd) {
    // The end flush leaves at most 15 of the decoder's 17 look-ahead bits unwritten, so real
    // streams stay well inside the allowance; only the size-only empty stream needs three.
    for (std::size_t length : {1u, 2u, 7u, 100u, 3000u, 20000u}) {
        const Bytes data = mixedData(length);
        const Bytes block = archive::lzariEncode(data);
        Bytes out(length);
        EXPECT_EQ(archive::lzariDecode(block, out.data(), out.size()), archive::DecodeStatus::ok);
        EXPECT_EQ(out, data);
        EXPECT_LE(archive::lzariLastBytesPastEnd(), 2u) << "length " << length;
    }
    Bytes none;
    EXPECT_EQ(archive::lzariDecode(Bytes{0, 0, 0, 0}, none.data(), 0), archive::DecodeStatus::ok);
    EXPECT_EQ(archive::lzariLastBytesPastEnd(), 3u);
}

TEST(LzariDecode, MatchRunningPastDecodedSizeIsClipped) {
    // Encode 100 bytes of one value, then lower the announced size: the last match is cut at the
    // new size and nothing past it is written.
    Bytes block = archive::lzariEncode(Bytes(100, 7));
    block[0] = 50;
    Bytes out(60, 0xEE);
    EXPECT_EQ(archive::lzariDecode(block, out.data(), 50), archive::DecodeStatus::ok);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 50), Bytes(50, 7));
    EXPECT_EQ(out[50], 0xEE);
}

}  // namespace
