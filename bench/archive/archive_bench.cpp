// Throughput of the LZARI decoder and encoder on picture-like data, and the time to load the
// whole start-up list from an archive of picture-like entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/lzari.h"
#include "core/buffers.h"
#include "sequencer/preparation.h"
#include "store/store.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 256-colour picture of the kind the show uses: smooth shaded shapes over a gradient, with a
// little grain, so both long matches and many literals occur.
Bytes pictureLike(std::size_t size, unsigned seed) {
    Bytes picture(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        const double x = static_cast<double>(i % 320);
        const double y = static_cast<double>(i / 320);
        double shade = 64.0 + y * 0.4;
        const double dx = x - 160.0 - 40.0 * std::sin(seed + y / 50.0);
        const double dy = y - 100.0;
        if (dx * dx + dy * dy < 3600.0) {
            shade = 180.0 - std::sqrt(dx * dx + dy * dy);
        }
        state = state * 1664525u + 1013904223u;
        const int grain = (state >> 29) == 0 ? static_cast<int>((state >> 24) & 7) : 0;
        picture[i] = static_cast<std::uint8_t>(static_cast<int>(shade) + grain);
    }
    return picture;
}

void BM_LzariDecodePicture(benchmark::State& state) {
    const Bytes picture = pictureLike(64000, 1);
    const Bytes block = archive::lzariEncode(picture);
    Bytes out(picture.size());
    for (auto _ : state) {
        archive::lzariDecode(block, out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * picture.size()));
    state.counters["ratio"] = static_cast<double>(block.size()) / picture.size();
}
BENCHMARK(BM_LzariDecodePicture)->Unit(benchmark::kMillisecond);

void BM_LzariEncodePicture(benchmark::State& state) {
    const Bytes picture = pictureLike(64000, 1);
    for (auto _ : state) {
        Bytes block = archive::lzariEncode(picture);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * picture.size()));
}
BENCHMARK(BM_LzariEncodePicture)->Unit(benchmark::kMillisecond);

// All 37 loads of the start-up list, each opening the file, reading its block and decoding.
void BM_LoadStartupList(benchmark::State& state) {
    sequencer::prepareWorkBuffers();
    std::vector<Bytes> entries;
    std::size_t decodedTotal = 0;
    for (const store::StartupLoad& load : store::startupLoadList()) {
        if (load.destination == core::buffers.titleStrip.second.data()) {
            continue;  // the second load of entry 18
        }
        entries.push_back(pictureLike(load.capacity, static_cast<unsigned>(load.entry)));
    }
    for (const store::StartupLoad& load : store::startupLoadList()) {
        decodedTotal += entries[load.entry].size();
    }
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("sg2-bench-" + std::to_string(getpid()) + ".dat"))
                                 .string();
    const Bytes file = archive::buildArchive(entries);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    store::setDataFilePath(path);
    for (auto _ : state) {
        for (const store::StartupLoad& load : store::startupLoadList()) {
            store::loadEntry(load.entry, load.destination, load.capacity);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * decodedTotal));
    state.counters["archiveBytes"] = static_cast<double>(file.size());
    store::setDataFilePath(store::kDefaultDataFile);
    std::filesystem::remove(path);
    core::releaseWorkBuffers();
}
BENCHMARK(BM_LoadStartupList)->Unit(benchmark::kMillisecond);

// The same with the show's own data file, as the content generator writes it into the build
// directory (beside this program's directory).
void BM_LoadStartupListShowData(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "sg2.dat";
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("sg2.dat not built (the sg2_data target writes it)");
        return;
    }
    sequencer::prepareWorkBuffers();
    store::setDataFilePath(path.string());
    std::size_t decodedTotal = 0;
    archive::FileSource source(path.string());
    for (const store::StartupLoad& load : store::startupLoadList()) {
        std::uint32_t decodedSize = 0;
        archive::readDecodedSize(source, load.entry, decodedSize);
        decodedTotal += decodedSize;
    }
    for (auto _ : state) {
        for (const store::StartupLoad& load : store::startupLoadList()) {
            store::loadEntry(load.entry, load.destination, load.capacity);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * decodedTotal));
    state.counters["archiveBytes"] = static_cast<double>(std::filesystem::file_size(path));
    store::setDataFilePath(store::kDefaultDataFile);
    core::releaseWorkBuffers();
}
BENCHMARK(BM_LoadStartupListShowData)->Unit(benchmark::kMillisecond);

}  // namespace
