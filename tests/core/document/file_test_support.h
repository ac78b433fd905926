#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kresograf::filetest {

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kresograf-test-XXXXXX").string();
        Path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(Path, ignored);
    }
    std::string File(const std::string& name) const { return (Path / name).string(); }
    // Names of everything in the folder.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::filesystem::path Path;
};

// A folder that takes no new file while the lock lives, its files still writable: without
// write permission for a user, immutable for root (whom permissions do not stop). Locked()
// is false where neither can be had.
class FolderLock {
  public:
    explicit FolderLock(const std::filesystem::path& folder) : folder_(folder) {
        if (::geteuid() != 0) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::remove);
            locked_ = true;
        } else {
            locked_ = SetImmutable(true);
        }
    }
    ~FolderLock() {
        if (::geteuid() != 0) {
            std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
        } else if (locked_) {
            SetImmutable(false);
        }
    }
    bool Locked() const { return locked_; }

  private:
    bool SetImmutable(bool on) {
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        return done;
    }

    std::filesystem::path folder_;
    bool locked_ = false;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline uint32_t U32At(const std::vector<uint8_t>& bytes, std::size_t at) {
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
           uint32_t{bytes[at + 3]} << 24;
}

inline void PutU32(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        bytes[at + k] = static_cast<uint8_t>(value >> (8 * k));
    }
}

}  // namespace kresograf::filetest
