// Fuzzes the archive reader and the LZARI decoder together: the input is an archive file.
// Every entry the directory can name is read into a destination exactly as large as the
// capacity offered, so any write past it is caught; the input is also decoded as a bare
// stored block, and (now and then) compressed and expanded again to check the round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "archive/archive_reader.h"
#include "archive/lzari.h"

namespace {

constexpr std::uint32_t kLargestDestination = 1u << 17;  // the largest slot
constexpr std::int32_t kMostEntriesTried = 40;
constexpr std::size_t kLargestRoundTrip = 1u << 16;

// A destination of exactly capacity bytes (at least one, so it has an address), left
// uninitialised so large ones cost nothing until written.
std::unique_ptr<std::uint8_t[]> destinationOf(std::size_t capacity) {
    return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[capacity == 0 ? 1 : capacity]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);

    // As an archive: every index from -1 past the directory's end.
    archive::MemorySource source(input);
    std::uint32_t count = 0;
    archive::countEntries(source, count);
    const std::int32_t last =
        static_cast<std::int32_t>(std::min<std::uint32_t>(count, kMostEntriesTried));
    for (std::int32_t index = -1; index <= last; ++index) {
        std::uint32_t decodedSize = 0;
        if (!archive::readDecodedSize(source, index, decodedSize).ok()) {
            continue;
        }
        // The destination as large as the entry claims (capped), and one byte smaller.
        const std::size_t capacity = std::min(decodedSize, kLargestDestination);
        const auto destination = destinationOf(capacity);
        archive::readEntry(source, index, destination.get(), capacity);
        if (capacity > 0) {
            archive::readEntry(source, index, destination.get(), capacity - 1);
        }
    }

    // As a bare stored block.
    const std::size_t capacity = std::min(archive::lzariDecodedSize(input), kLargestDestination);
    archive::lzariDecode(input, destinationOf(capacity).get(), capacity);

    // Compress and expand again: the bytes must come back unchanged. Done for one input in
    // four, so most of the time goes to the reader and decoder.
    if (size <= kLargestRoundTrip && size % 4 == 0) {
        const std::vector<std::uint8_t> block = archive::lzariEncode(input);
        const auto back = destinationOf(size);
        if (archive::lzariDecode(block, back.get(), size) != archive::DecodeStatus::ok ||
            (size > 0 && std::memcmp(back.get(), data, size) != 0)) {
            std::abort();
        }
    }
    return 0;
}
