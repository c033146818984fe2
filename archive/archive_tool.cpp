#include "archive/archive_tool.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/format.h"
#include "archive/lzari.h"
#include "core/console.h"
#include "core/input.h"
#include "core/output.h"

namespace archive {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kUsage =
    "usage: sg2-archive pack OUT.dat FILE...\n"
    "       sg2-archive list IN.dat\n"
    "       sg2-archive extract IN.dat DIR\n"
    "       sg2-archive verify IN.dat\n"
    "       sg2-archive --help | --version\n";

int fail(const std::string& file, const std::string& problem) {
    core::errorLine(file + ": " + problem);
    return 1;
}

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int pack(const std::string& outPath, std::span<const std::string> inputs) {
    core::OutputPlan plan;
    for (const std::string& input : inputs) {
        plan.addInput(input, "a file to pack");
    }
    plan.addFile(outPath, "the archive");
    if (const auto problem = plan.check()) {
        core::errorLine(problem->line);
        return problem->status;
    }
    std::vector<Bytes> entries;
    for (const std::string& input : inputs) {
        Bytes bytes;
        core::InputProblem problem;
        if (!core::readRegularFile(input, kLargestWord, bytes, problem)) {
            return fail(input, problem.text);
        }
        entries.push_back(std::move(bytes));
    }
    std::vector<Bytes> blocks;
    std::uint64_t total = kDirectoryRecordBytes * entries.size() + kTrailerBytes;
    for (const Bytes& entry : entries) {
        blocks.push_back(lzariEncode(entry));
        total += blocks.back().size();
    }
    if (total > kLargestWord) {
        return fail(outPath, "would be larger than 4 GiB");
    }
    std::string problem;
    if (!core::writeWholeFile(outPath, buildArchiveFromBlocks(blocks), problem)) {
        return fail(outPath, problem);
    }
    return 0;
}

// Opens an archive and takes its entry count from the writer's arrangement.
bool openArchive(const std::string& path, std::unique_ptr<FileSource>& source,
                 std::uint32_t& count) {
    source = std::make_unique<FileSource>(path);
    if (!source->isOpen()) {
        fail(path, source->problem().text);
        return false;
    }
    if (ReadResult result = countEntries(*source, count); !result.ok()) {
        fail(path, result.description);
        return false;
    }
    return true;
}

// Decodes entry index in full; the buffer is sized from the block's own header.
bool decodeEntry(FileSource& source, const std::string& path, std::uint32_t index,
                 std::unique_ptr<std::uint8_t[]>& decoded, std::uint32_t& decodedSize) {
    const auto entry = static_cast<std::int32_t>(index);
    if (ReadResult result = readDecodedSize(source, entry, decodedSize); !result.ok()) {
        fail(path, result.description);
        return false;
    }
    // Left uninitialised: a corrupt entry claiming gigabytes costs only what it writes.
    decoded.reset(new (std::nothrow) std::uint8_t[std::max<std::uint32_t>(decodedSize, 1)]);
    if (decoded == nullptr) {
        fail(path, "cannot allocate " + std::to_string(decodedSize) + " bytes for entry " +
                       std::to_string(index));
        return false;
    }
    if (ReadResult result = readEntry(source, entry, decoded.get(), decodedSize); !result.ok()) {
        fail(path, result.description);
        return false;
    }
    return true;
}

int list(const std::string& path) {
    std::unique_ptr<FileSource> source;
    std::uint32_t count = 0;
    if (!openArchive(path, source, count)) {
        return 1;
    }
    ArchiveTrailer trailer{};
    readTrailer(*source, trailer);
    for (std::uint32_t index = 0; index < count; ++index) {
        const auto entry = static_cast<std::int32_t>(index);
        DirectoryRecord record{};
        std::uint32_t decodedSize = 0;
        if (ReadResult result = readDirectoryRecord(*source, trailer, entry, record);
            !result.ok()) {
            return fail(path, result.description);
        }
        if (ReadResult result = readDecodedSize(*source, entry, decodedSize); !result.ok()) {
            return fail(path, result.description);
        }
        std::printf("%2u %10u %10u %10u\n", index, record.offset, record.storedSize, decodedSize);
    }
    return 0;
}

int extract(const std::string& path, const std::string& directory) {
    std::unique_ptr<FileSource> source;
    std::uint32_t count = 0;
    if (!openArchive(path, source, count)) {
        return 1;
    }
    core::OutputPlan plan;
    plan.addDirectory(directory, "the directory to extract into");
    if (const auto problem = plan.check()) {
        core::errorLine(problem->line);
        return problem->status;
    }
    for (std::uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<std::uint8_t[]> decoded;
        std::uint32_t decodedSize = 0;
        if (!decodeEntry(*source, path, index, decoded, decodedSize)) {
            return 1;
        }
        char name[32];
        std::snprintf(name, sizeof name, "entry%02u.bin", index);
        const std::string outPath = (std::filesystem::path(directory) / name).string();
        std::string problem;
        if (!core::writeWholeFile(outPath, {decoded.get(), decodedSize}, problem)) {
            return fail(outPath, problem);
        }
    }
    return 0;
}

int verify(const std::string& path) {
    std::unique_ptr<FileSource> source;
    std::uint32_t count = 0;
    if (!openArchive(path, source, count)) {
        return 1;
    }
    for (std::uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<std::uint8_t[]> decoded;
        std::uint32_t decodedSize = 0;
        if (!decodeEntry(*source, path, index, decoded, decodedSize)) {
            return 1;
        }
    }
    std::printf("%s: %u entries verified\n", path.c_str(), count);
    return 0;
}

}  // namespace

const char* archiveToolUsage() {
    return kUsage;
}

int runArchiveTool(std::span<const std::string> arguments) {
    if (arguments.empty()) {
        return usage();
    }
    const std::string& command = arguments[0];
    if (command == "pack" && arguments.size() >= 2) {
        return pack(arguments[1], arguments.subspan(2));
    }
    if (command == "list" && arguments.size() == 2) {
        return list(arguments[1]);
    }
    if (command == "extract" && arguments.size() == 3) {
        return extract(arguments[1], arguments[2]);
    }
    if (command == "verify" && arguments.size() == 2) {
        return verify(arguments[1]);
    }
    return usage();
}

}  // namespace archive
