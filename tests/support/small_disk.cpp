#include "tests/support/small_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/run_program.h"

namespace testsupport {

SmallDisk::SmallDisk(std::size_t bytes, bool readOnly) {
    path_ = makeTempDirectory("disk");
    if (geteuid() != 0) {
        return;
    }
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ =
        mount("tmpfs", path_.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) {
        umount2(path_.c_str(), MNT_DETACH);
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace testsupport
