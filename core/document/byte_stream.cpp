#include "document/byte_stream.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kresograf {

bool ByteSource::Skip(uint64_t n) {
    uint8_t scratch[65536];
    while (n != 0) {
        const std::size_t step = static_cast<std::size_t>(std::min<uint64_t>(n, sizeof scratch));
        if (Read(scratch, step) != step) {
            return false;
        }
        n -= step;
    }
    return true;
}

std::size_t MemorySource::Read(void* data, std::size_t n) {
    const std::size_t step = std::min(n, bytes_.size() - position_);
    if (step != 0) {
        std::memcpy(data, bytes_.data() + position_, step);
    }
    position_ += step;
    return step;
}

bool MemorySource::Skip(uint64_t n) {
    if (n > bytes_.size() - position_) {
        position_ = bytes_.size();
        return false;
    }
    position_ += static_cast<std::size_t>(n);
    return true;
}

bool VectorSink::Write(const void* data, std::size_t n) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    Bytes.insert(Bytes.end(), bytes, bytes + n);
    return true;
}

FileSource::~FileSource() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FileSource::Open(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return errno;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        return errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return EISDIR;
    }
    size_ = static_cast<uint64_t>(info.st_size);
    return 0;
}

std::size_t FileSource::Read(void* data, std::size_t n) {
    auto* bytes = static_cast<uint8_t*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd_, bytes + done, std::min<std::size_t>(n - done, SSIZE_MAX));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            break;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool FileSource::Skip(uint64_t n) {
    const off_t here = ::lseek(fd_, 0, SEEK_CUR);
    if (here < 0) {
        error_ = errno;
        return false;
    }
    if (n > size_ - std::min<uint64_t>(size_, static_cast<uint64_t>(here))) {
        return false;
    }
    if (::lseek(fd_, static_cast<off_t>(n), SEEK_CUR) < 0) {
        error_ = errno;
        return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolderOf(const std::string& path) {
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

std::string ResolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

ReplacingFile::ReplacingFile(std::string target, WriteFault fault)
    : target_(ResolveLink(target)), fault_(std::move(fault)) {}

ReplacingFile::~ReplacingFile() {
    Discard();
}

void ReplacingFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

int ReplacingFile::Open() {
    static std::atomic<uint32_t> serial{0};
    // A file the user may not write stays protected, though its folder would let a rename
    // replace it.
    if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0) {
        error_ = errno;
        return error_;
    }
    const auto slash = target_.find_last_of('/');
    const std::string prefix =
        (slash == std::string::npos ? std::string() : target_.substr(0, slash + 1)) + "." +
        target_.substr(slash == std::string::npos ? 0 : slash + 1) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = prefix + std::to_string(::getpid()) + "-" +
                                      std::to_string(serial.fetch_add(1)) + ".tmp";
        // 0666 lets the umask decide, as for any new file the program writes.
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = candidate;
            break;
        }
        if (errno != EEXIST) {
            error_ = errno;
            break;
        }
    }
    if (fd_ < 0) {
        // A folder that takes no new file (read-only, or not ours) can still hold a target the
        // user may write: that target is written in place, as nothing else can replace it.
        if (error_ != EEXIST && ::access(target_.c_str(), W_OK) == 0) {
            fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd_ >= 0) {
                error_ = 0;
                return 0;
            }
        }
        if (error_ == 0) {
            error_ = EEXIST;
        }
        return error_;
    }
    // A replaced file keeps its permissions.
    struct stat info {};
    if (::stat(target_.c_str(), &info) == 0) {
        ::fchmod(fd_, info.st_mode & 07777);
    }
    return 0;
}

bool ReplacingFile::MayWrite(std::size_t n) {
    if (fd_ < 0 || error_ != 0) {
        if (error_ == 0) {
            error_ = EBADF;
        }
        return false;
    }
    if (fault_) {
        if (const int injected = fault_(written_, n); injected != 0) {
            error_ = injected;
            return false;
        }
    }
    return true;
}

bool ReplacingFile::Write(const void* data, std::size_t n) {
    if (!MayWrite(n)) {
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd_, bytes + done, std::min<std::size_t>(n - done, SSIZE_MAX));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    written_ += n;
    return true;
}

bool ReplacingFile::WriteFrom(int fd, uint64_t offset, std::size_t n) {
    if (!MayWrite(n)) {
        return false;
    }
    std::size_t done = 0;
    auto from = static_cast<off_t>(offset);
    while (done < n) {
        const ssize_t put = ::sendfile(fd_, fd, &from, n - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            if (put < 0 && (errno == EINVAL || errno == ENOSYS) && done == 0) {
                break;  // no copy inside the system here: through a buffer below
            }
            error_ = put < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    if (done < n) {
        std::vector<uint8_t> buffer(std::min<std::size_t>(n, std::size_t{1} << 20));
        while (done < n) {
            const ssize_t got = ::pread(fd, buffer.data(), std::min(buffer.size(), n - done),
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                error_ = got < 0 ? errno : EIO;
                return false;
            }
            const uint64_t before = written_;
            if (!Write(buffer.data(), static_cast<std::size_t>(got))) {
                return false;
            }
            written_ = before;
            done += static_cast<std::size_t>(got);
        }
    }
    written_ += n;
    return true;
}

int ReplacingFile::Commit() {
    if (fd_ < 0 || error_ != 0) {
        const int error = error_ != 0 ? error_ : EBADF;
        Discard();
        return error;
    }
    // In place, the old contents may reach further than the new ones.
    if (temporary_.empty() && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) {
        error_ = errno;
    }
    if (error_ == 0 && ::fsync(fd_) != 0) {
        error_ = errno;
    }
    if (::close(fd_) != 0 && error_ == 0) {
        error_ = errno;
    }
    fd_ = -1;
    if (temporary_.empty()) {
        return error_;
    }
    if (error_ == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
    }
    if (error_ != 0) {
        Discard();
        return error_;
    }
    temporary_.clear();
    // The rename itself reaches the disk with the folder.
    SyncFolderOf(target_);
    return 0;
}

}  // namespace kresograf
