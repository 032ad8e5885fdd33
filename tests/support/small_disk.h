// A tmpfs of 64 KB mounted on a folder for the test's life, where the test
// may mount one (as root, outside containers that forbid it): a disk that
// fills up after a few small files, to see what a writer does then.
#pragma once

#include <sys/mount.h>

#include <filesystem>

namespace zonara_test {

class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path &folder) : folder_(folder) {
        std::filesystem::create_directory(folder_);
        mounted_ = ::mount("zonara-test", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

}  // namespace zonara_test
