#include "archive/archive_reader.h"

#include <unistd.h>

#include <cstring>
#include <memory>
#include <new>

#include "archive/format.h"
#include "archive/lzari.h"
#include "core/bytes.h"

namespace archive {

namespace {

ReadResult problem(ReadProblem kind, std::string description) {
    return ReadResult{kind, std::move(description)};
}

std::string entryName(std::int32_t index) {
    return "entry " + std::to_string(index);
}

}  // namespace

FileSource::FileSource(const std::string& path) {
    const int fd = core::openRegularFile(path, size_, problem_);
    if (fd < 0) {
        return;
    }
    file_ = fdopen(fd, "rb");
    if (file_ == nullptr) {
        close(fd);
        problem_.text = "cannot be opened";
    }
}

FileSource::~FileSource() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileSource::readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) {
    if (position > size_ || count > size_ - position) {
        return false;
    }
    if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) {
        return false;
    }
    return std::fread(destination, 1, count, file_) == count;
}

bool MemorySource::readAt(std::uint64_t position, std::uint8_t* destination, std::size_t count) {
    if (position > bytes_.size() || count > bytes_.size() - position) {
        return false;
    }
    if (count > 0) {
        std::memcpy(destination, bytes_.data() + position, count);
    }
    return true;
}

ReadResult readTrailer(ByteSource& source, ArchiveTrailer& trailer) {
    const std::uint64_t size = source.size();
    std::uint8_t words[kTrailerBytes];
    if (size < kTrailerBytes || !source.readAt(size - kTrailerBytes, words, kTrailerBytes)) {
        return problem(ReadProblem::trailerUnreadable, "cannot read the archive trailer (file of " +
                                                           std::to_string(size) + " bytes)");
    }
    trailer.archiveLength = core::readLittle32(words);
    trailer.directoryDistance = core::readLittle32(words + 4);
    if (trailer.archiveLength > size) {
        return problem(ReadProblem::archiveLengthOutsideFile,
                       "archive length " + std::to_string(trailer.archiveLength) +
                           " is larger than the file (" + std::to_string(size) + " bytes)");
    }
    if (trailer.directoryDistance < kTrailerBytes || trailer.directoryDistance > size) {
        return problem(ReadProblem::directoryOutsideFile,
                       "directory distance " + std::to_string(trailer.directoryDistance) +
                           " lies outside the file (" + std::to_string(size) + " bytes)");
    }
    return {};
}

ReadResult readDirectoryRecord(ByteSource& source, const ArchiveTrailer& trailer,
                               std::int32_t index, DirectoryRecord& record) {
    // The directory ends at the trailer at the latest: a record reaching into it is past the
    // directory's last entry.
    if (index < 0 || kDirectoryRecordBytes * static_cast<std::uint64_t>(index) +
                             kDirectoryRecordBytes + kTrailerBytes >
                         trailer.directoryDistance) {
        return problem(ReadProblem::indexOutsideDirectory,
                       entryName(index) + " lies outside the directory");
    }
    const std::uint64_t position = source.size() - trailer.directoryDistance +
                                   kDirectoryRecordBytes * static_cast<std::uint64_t>(index);
    std::uint8_t words[kDirectoryRecordBytes];
    if (!source.readAt(position, words, kDirectoryRecordBytes)) {
        return problem(ReadProblem::recordUnreadable,
                       "cannot read the directory record of " + entryName(index));
    }
    record.offset = core::readLittle32(words);
    record.storedSize = core::readLittle32(words + 4);
    return {};
}

ReadResult locateEntry(ByteSource& source, std::int32_t index, DirectoryRecord& record,
                       std::uint64_t& blockPosition) {
    ArchiveTrailer trailer{};
    if (ReadResult result = readTrailer(source, trailer); !result.ok()) {
        return result;
    }
    if (ReadResult result = readDirectoryRecord(source, trailer, index, record); !result.ok()) {
        return result;
    }
    if (std::uint64_t{record.offset} + record.storedSize > trailer.archiveLength) {
        return problem(ReadProblem::blockOutsideFile,
                       entryName(index) + " (offset " + std::to_string(record.offset) + ", " +
                           std::to_string(record.storedSize) + " bytes) runs past the file's end");
    }
    if (record.storedSize < kLzariSizeHeaderBytes) {
        return problem(ReadProblem::blockTooShort, entryName(index) + " is too short (" +
                                                       std::to_string(record.storedSize) +
                                                       " bytes) to hold its decoded size");
    }
    blockPosition = source.size() - trailer.archiveLength + record.offset;
    return {};
}

ReadResult readDecodedSize(ByteSource& source, std::int32_t index, std::uint32_t& decodedSize) {
    DirectoryRecord record{};
    std::uint64_t position = 0;
    if (ReadResult result = locateEntry(source, index, record, position); !result.ok()) {
        return result;
    }
    std::uint8_t header[kLzariSizeHeaderBytes];
    if (!source.readAt(position, header, sizeof header)) {
        return problem(ReadProblem::blockUnreadable,
                       "cannot read the decoded size of " + entryName(index));
    }
    decodedSize = core::readLittle32(header);
    return {};
}

ReadResult readEntry(ByteSource& source, std::int32_t index, std::uint8_t* destination,
                     std::size_t capacity) {
    DirectoryRecord record{};
    std::uint64_t position = 0;
    if (ReadResult result = locateEntry(source, index, record, position); !result.ok()) {
        return result;
    }
    const std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[record.storedSize]);
    if (block == nullptr) {
        return problem(ReadProblem::blockAllocationFailed, "cannot allocate " +
                                                               std::to_string(record.storedSize) +
                                                               " bytes for " + entryName(index));
    }
    if (!source.readAt(position, block.get(), record.storedSize)) {
        return problem(ReadProblem::blockUnreadable, "cannot read the " +
                                                         std::to_string(record.storedSize) +
                                                         " bytes of " + entryName(index));
    }
    const std::span<const std::uint8_t> stored(block.get(), record.storedSize);
    switch (lzariDecode(stored, destination, capacity)) {
        case DecodeStatus::ok:
            return {};
        case DecodeStatus::missingSizeHeader:  // excluded above; kept for completeness
            return problem(ReadProblem::blockTooShort,
                           entryName(index) + " is too short to hold its decoded size");
        case DecodeStatus::exceedsDestination:
            return problem(ReadProblem::decodedSizeExceedsCapacity,
                           entryName(index) + " decodes to " +
                               std::to_string(lzariDecodedSize(stored)) +
                               " bytes, more than its destination's " + std::to_string(capacity));
        case DecodeStatus::streamEndsEarly:
            return problem(ReadProblem::streamEndsEarly,
                           entryName(index) + " ends before its " +
                               std::to_string(lzariDecodedSize(stored)) +
                               " decoded bytes are complete");
    }
    return problem(ReadProblem::streamEndsEarly, entryName(index) + " cannot be decoded");
}

ReadResult countEntries(ByteSource& source, std::uint32_t& count) {
    ArchiveTrailer trailer{};
    if (ReadResult result = readTrailer(source, trailer); !result.ok()) {
        return result;
    }
    if ((trailer.directoryDistance - kTrailerBytes) % kDirectoryRecordBytes != 0) {
        return problem(ReadProblem::directoryOutsideFile,
                       "directory distance " + std::to_string(trailer.directoryDistance) +
                           " is not a whole number of records before the trailer");
    }
    count = static_cast<std::uint32_t>((trailer.directoryDistance - kTrailerBytes) /
                                       kDirectoryRecordBytes);
    return {};
}

}  // namespace archive
