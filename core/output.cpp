#include "core/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace core {

namespace {

namespace fs = std::filesystem;

// Outputs opened and not yet committed or discarded, newest first. Only the main thread opens
// outputs, so a plain list is enough; it owns nothing and needs no destruction at exit.
OutputFile* pendingHead = nullptr;

// What a new file gets: read and write for everyone the umask allows, as fopen would give.
mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// ".NAME.XXXXXX.EXT", with NAME cut (never inside a UTF-8 character) where the whole would
// not fit the directory's name limit; an extension too long to keep is dropped.
std::string temporaryName(const fs::path& directory, const std::string& name,
                          std::string& extension) {
    const long limit = pathconf(directory.c_str(), _PC_NAME_MAX);
    const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    constexpr std::size_t kMarks = std::char_traits<char>::length("..XXXXXX");
    if (kMarks + extension.size() + 1 > longest) {
        extension.clear();
    }
    std::size_t keep = std::min(name.size(), longest - kMarks - extension.size());
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return "." + name.substr(0, keep) + ".XXXXXX" + extension;
}

std::string reason(int errorNumber) {
    return std::string("cannot be written (") + std::strerror(errorNumber) + ")";
}

}  // namespace

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::fail(int errorNumber) {
    if (error_.empty()) {
        error_ = reason(errorNumber);
    }
}

bool OutputFile::open(const std::string& path) {
    discard();
    path_ = path;
    error_.clear();
    size_ = 0;
    const fs::path target(path);
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        fail(EISDIR);
        return false;
    }
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string extension = target.extension().string();
    std::string pattern = (directory / temporaryName(directory, name, extension)).string();
    const int fd = mkostemps(pattern.data(), static_cast<int>(extension.size()), O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    fchmod(fd, newFileMode());
    fd_ = fd;
    temporary_ = pattern;
    static const bool cleanupAtExit = std::atexit(&abandonOutputs) == 0;
    (void)cleanupAtExit;
    next_ = pendingHead;
    previous_ = nullptr;
    if (pendingHead != nullptr) {
        pendingHead->previous_ = this;
    }
    pendingHead = this;
    return true;
}

bool OutputFile::writeAt(std::uint64_t offset, const void* bytes, std::size_t count) {
    if (fd_ < 0 || !error_.empty()) {
        return false;
    }
    const auto* from = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t written = pwrite(fd_, from, count, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
            return false;
        }
        from += written;
        offset += static_cast<std::uint64_t>(written);
        count -= static_cast<std::size_t>(written);
        size_ = std::max(size_, offset);
    }
    return true;
}

bool OutputFile::write(const void* bytes, std::size_t count) {
    return writeAt(size_, bytes, count);
}

bool OutputFile::commit() {
    if (fd_ < 0) {
        if (error_.empty()) {
            error_ = "cannot be written (it was never opened)";
        }
        return false;
    }
    return close(error_.empty());
}

void OutputFile::discard() {
    if (fd_ < 0) {
        return;
    }
    if (error_.empty()) {
        error_ = "cannot be written (the run ended before it was complete)";
    }
    close(false);
}

bool OutputFile::close(bool keep) {
    // No fsync: the rename makes the output appear whole; what the disk refuses shows up in
    // the writes or at close.
    if (::close(fd_) != 0) {
        fail(errno);
    }
    fd_ = -1;
    if (keep && error_.empty() && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        fail(errno);
    }
    const bool committed = keep && error_.empty();
    if (!committed) {
        if (stopWriter_ != nullptr) {
            stopWriter_();
        }
        unlink(temporary_.c_str());
    }
    stopWriter_ = nullptr;
    if (previous_ != nullptr) {
        previous_->next_ = next_;
    } else {
        pendingHead = next_;
    }
    if (next_ != nullptr) {
        next_->previous_ = previous_;
    }
    previous_ = next_ = nullptr;
    return committed;
}

void abandonOutputs() {
    while (pendingHead != nullptr) {
        pendingHead->discard();
    }
}

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error) {
    OutputFile file;
    if (!file.open(path) || !file.write(bytes) || !file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

void OutputPlan::addInput(const std::string& path, const std::string& role) {
    entries_.push_back({Kind::input, path, role, {}});
}

void OutputPlan::addFile(const std::string& path, const std::string& role) {
    entries_.push_back({Kind::file, path, role, {}});
}

void OutputPlan::addDirectory(const std::string& path, const std::string& role,
                              std::function<bool(const std::string& name)> writes) {
    entries_.push_back({Kind::directory, path, role, std::move(writes)});
}

namespace {

// The path with its existing part's links and dots resolved, for comparing two spellings.
fs::path resolved(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : canonical;
}

bool samePath(const std::string& a, const std::string& b) {
    if (resolved(a) == resolved(b)) {
        return true;
    }
    std::error_code error;
    return fs::equivalent(a, b, error);  // hard links; false when either does not exist
}

}  // namespace

// A path given twice (two inputs excepted), or a file over a name a directory gets.
std::optional<OutputProblem> OutputPlan::checkConflicts() const {
    for (std::size_t later = 0; later < entries_.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            const Entry& a = entries_[earlier];
            const Entry& b = entries_[later];
            if (a.kind == Kind::input && b.kind == Kind::input) {
                continue;
            }
            if (samePath(a.path, b.path)) {
                return OutputProblem{2, b.path + ": given for both " + a.role + " and " + b.role};
            }
        }
    }
    for (const Entry& directory : entries_) {
        for (const Entry& file : entries_) {
            if (directory.kind == Kind::directory && directory.writes && file.kind == Kind::file &&
                resolved(file.path).parent_path() == resolved(directory.path) &&
                directory.writes(fs::path(file.path).filename().string())) {
                return OutputProblem{
                    2, file.path + ": given for both " + directory.role + " and " + file.role};
            }
        }
    }
    return std::nullopt;
}

// A file inside a directory the run creates is checked once that exists.
bool OutputPlan::waitsForDirectory(const Entry& file) const {
    std::error_code error;
    const fs::path parent = resolved(file.path).parent_path();
    if (fs::exists(parent, error)) {
        return false;
    }
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& directory) {
        if (directory.kind != Kind::directory) {
            return false;
        }
        const fs::path created = resolved(directory.path);
        const auto [end, at] =
            std::mismatch(created.begin(), created.end(), parent.begin(), parent.end());
        return end == created.end();
    });
}

// Each file whose directory exists: not a directory or a device, and a new file can be made
// there. The others are left in `later`.
std::optional<OutputProblem> OutputPlan::checkFiles(std::vector<const Entry*>& later) const {
    for (const Entry& entry : entries_) {
        if (entry.kind != Kind::file) {
            continue;
        }
        if (waitsForDirectory(entry)) {
            later.push_back(&entry);
            continue;
        }
        struct stat status {};
        if (stat(entry.path.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) {
                return OutputProblem{1, entry.path + ": is a directory"};
            }
            if (!S_ISREG(status.st_mode)) {
                return OutputProblem{1, entry.path + ": is not a regular file"};
            }
        }
        OutputFile probe;
        if (!probe.open(entry.path)) {
            return OutputProblem{1, entry.path + ": " + probe.error()};
        }
        probe.discard();
    }
    return std::nullopt;
}

std::optional<OutputProblem> OutputPlan::createDirectories() const {
    for (const Entry& entry : entries_) {
        if (entry.kind != Kind::directory) {
            continue;
        }
        std::error_code error;
        if (fs::exists(entry.path, error) && !fs::is_directory(entry.path, error)) {
            return OutputProblem{1, entry.path + ": is not a directory"};
        }
        fs::create_directories(entry.path, error);
        if (error) {
            return OutputProblem{1, entry.path + ": cannot be created (" + error.message() + ")"};
        }
        OutputFile probe;
        if (!probe.open((fs::path(entry.path) / "probe").string())) {
            return OutputProblem{1, entry.path + ": " + probe.error()};
        }
        probe.discard();
    }
    return std::nullopt;
}

std::optional<OutputProblem> OutputPlan::check() const {
    std::vector<const Entry*> later;
    if (auto problem = checkConflicts()) {
        return problem;
    }
    if (auto problem = checkFiles(later)) {
        return problem;
    }
    if (auto problem = createDirectories()) {
        return problem;
    }
    for (const Entry* entry : later) {
        OutputFile probe;
        if (!probe.open(entry->path)) {
            return OutputProblem{1, entry->path + ": " + probe.error()};
        }
    }
    return std::nullopt;
}

}  // namespace core
