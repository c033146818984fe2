#pragma once
// Files the programs write are complete or absent. Each output is written under a hidden
// temporary name in its final directory and renamed into place only when it is complete; a
// failure, a signal or any exit before that leaves nothing behind. Every location is checked,
// and conflicting paths are refused, before anything is written.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace core {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();  // an output never committed is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file beside `path` (it keeps the path's extension, so a child
    // program can tell the format from temporaryPath()). False, with error() set, when the
    // directory refuses it.
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }

    // Appends bytes; false from the first failed write on (the failure is kept for commit).
    bool write(const void* bytes, std::size_t count);
    bool write(std::span<const std::uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    // Overwrites bytes at `offset` (a header patched at the end) and keeps appending after.
    bool writeAt(std::uint64_t offset, const void* bytes, std::size_t count);

    // Closes the file and renames it into place. False, with error() set and nothing left
    // behind, when any write failed, closing failed, or the output was discarded meanwhile.
    bool commit();
    // Closes and removes the temporary file; the final path is left as it was.
    void discard();
    // Called before an uncommitted temporary is removed: another program writing into it is
    // stopped first, so that it cannot write or create the file again afterwards.
    void setWriterStop(void (*stopWriter)()) { stopWriter_ = stopWriter; }
    // "cannot be written (reason)"; empty while all went well.
    const std::string& error() const { return error_; }

  private:
    void fail(int errorNumber);
    bool close(bool keep);  // renames into place when `keep` and all went well, else removes
    std::string path_;
    std::string temporary_;
    std::string error_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    void (*stopWriter_)() = nullptr;
    OutputFile* previous_ = nullptr;  // the list of outputs still under their temporary name
    OutputFile* next_ = nullptr;
    friend void abandonOutputs();
};

// Discards every output not yet committed: the first step of a run that fails or is stopped.
// Also runs when the process exits, so no temporary file outlives it.
void abandonOutputs();

// Writes `bytes` to `path` complete or not at all; false with `error` ("cannot be written
// (reason)") on failure.
bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error);

// A problem found before anything was written: one line naming the path, and the exit status
// (2 for paths that conflict on the command line, 1 for a location that cannot be written).
struct OutputProblem {
    int status = 1;
    std::string line;
};

// The outputs (and inputs) of one run, checked together before it starts.
class OutputPlan {
  public:
    // A file the run reads: no output may be written over it. `role` names it ("--data").
    void addInput(const std::string& path, const std::string& role);
    // A file the run writes; `role` names where it came from ("--wav").
    void addFile(const std::string& path, const std::string& role);
    // A directory the run fills with files; created (with its parents) when missing.
    // `writes` tells the names the run writes there, which no other output may take.
    void addDirectory(const std::string& path, const std::string& role,
                      std::function<bool(const std::string& name)> writes = {});
    // Conflicts first (a path given twice, an output over an input or over a name a directory
    // gets), then each location: its directory exists and takes a new file, the path is not a
    // directory or a device. Directories are created last, once everything else passed, and
    // files inside them are checked then.
    std::optional<OutputProblem> check() const;

  private:
    enum class Kind { input, file, directory };
    struct Entry {
        Kind kind;
        std::string path;
        std::string role;
        std::function<bool(const std::string&)> writes;
    };
    std::optional<OutputProblem> checkConflicts() const;
    bool waitsForDirectory(const Entry& file) const;
    std::optional<OutputProblem> checkFiles(std::vector<const Entry*>& later) const;
    std::optional<OutputProblem> createDirectories() const;
    std::vector<Entry> entries_;
};

}  // namespace core
