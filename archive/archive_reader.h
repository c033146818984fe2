#pragma once
// Reading archives without ending the process: every position is reckoned from the end of the
// file, every distance and size is checked against the file before it is used, and each
// problem comes back as a value with a one-line description. loadEntry and the archive tool
// turn a problem into their message and exit status.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "core/input.h"

namespace archive {

struct ArchiveTrailer {
    std::uint32_t archiveLength;      // from the archive's first byte to the end of the file
    std::uint32_t directoryDistance;  // from the first directory record to the end of the file
};

struct DirectoryRecord {
    std::uint32_t offset;      // of the stored block, from the archive's first byte
    std::uint32_t storedSize;  // of the stored block
};

// Random access to the bytes of an archive file.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly count bytes at position; false when the read falls short.
    virtual bool readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) = 0;
};

// A file opened for reading in binary mode, closed when the source goes.
class FileSource final : public ByteSource {
  public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    // False when the file is missing, unreadable or not a regular file; problem() says which.
    bool isOpen() const { return file_ != nullptr; }
    const core::InputProblem& problem() const { return problem_; }
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) override;

  private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    core::InputProblem problem_;
};

// Bytes already in memory.
class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

enum class ReadProblem {
    none,
    trailerUnreadable,           // file shorter than the trailer, or the read fell short
    archiveLengthOutsideFile,    // the archive would start before the file does
    directoryOutsideFile,        // directoryDistance below 8 or beyond the file's start
    indexOutsideDirectory,       // negative, or its record would reach into the trailer
    recordUnreadable,            // the read of the directory record fell short
    blockOutsideFile,            // offset + storedSize runs past the end of the file
    blockTooShort,               // shorter than its 4-byte decoded size
    blockAllocationFailed,       // no memory for the temporary block
    blockUnreadable,             // the read of the stored block fell short
    decodedSizeExceedsCapacity,  // the destination cannot hold the entry
    streamEndsEarly,             // the stored block ends before decodedSize bytes
};

struct ReadResult {
    ReadProblem problem = ReadProblem::none;
    std::string description;  // one line, no file name, no newline; empty when all went well
    bool ok() const { return problem == ReadProblem::none; }
};

ReadResult readTrailer(ByteSource& source, ArchiveTrailer& trailer);
ReadResult readDirectoryRecord(ByteSource& source, const ArchiveTrailer& trailer,
                               std::int32_t index, DirectoryRecord& record);
// Finds entry index and checks that its stored block lies inside the file and can hold its
// decoded size; blockPosition is where the block starts, from the file's first byte.
ReadResult locateEntry(ByteSource& source, std::int32_t index, DirectoryRecord& record,
                       std::uint64_t& blockPosition);
// locateEntry, then the decoded size from the block's first 4 bytes.
ReadResult readDecodedSize(ByteSource& source, std::int32_t index, std::uint32_t& decodedSize);

// Finds entry index, reads its stored block into a temporary block and decodes it into
// destination, which holds capacity bytes.
ReadResult readEntry(ByteSource& source, std::int32_t index, std::uint8_t* destination,
                     std::size_t capacity);

// The entry count of an archive laid out by the writer (directory right before the trailer):
// (directoryDistance - 8) / 8. False when that is not a whole number of records in the file.
ReadResult countEntries(ByteSource& source, std::uint32_t& count);

}  // namespace archive
