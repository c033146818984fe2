#pragma once
// Opening the files a program reads: only regular files, and never blocking in open (a FIFO
// or a device named as a data file is refused, not waited on or read without end).
#include <cstdint>
#include <string>
#include <vector>

namespace core {

struct InputProblem {
    bool missing = false;  // nothing at the path (the caller may have its own words for that)
    std::string text;      // "is not a regular file", "cannot be opened (Permission denied)"
};

// Opens `path` for reading (close-on-exec). Returns the descriptor and the file's size, or -1
// with `problem` filled.
int openRegularFile(const std::string& path, std::uint64_t& size, InputProblem& problem);

// Reads the whole regular file at `path`, refusing one larger than `limit` bytes.
bool readRegularFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                     InputProblem& problem);

}  // namespace core
