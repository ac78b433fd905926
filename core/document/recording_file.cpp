#include "document/recording_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <vector>

namespace kresograf {
namespace {

// Header fields a flush brings up to date: the scan count and, 18 bytes on, the conversions of
// the run (TotalSamples of the registered block); one write covers both.
constexpr std::size_t CountOffset = 80;
constexpr std::size_t TotalOffset = 98;
constexpr std::size_t PatchEnd = TotalOffset + 4;

void PutU32(std::array<uint8_t, 378>& header, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Writes all bytes at offset; 0 or the errno, with the bytes that did get written in done.
int WriteAt(int fd, const uint8_t* data, std::size_t n, uint64_t offset, std::size_t& done) {
    done = 0;
    while (done < n) {
        const ssize_t put = ::pwrite(fd, data + done, std::min<std::size_t>(n - done, SSIZE_MAX),
                                     static_cast<off_t>(offset + done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (put == 0) {
            return EIO;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

int MakeFolders(const std::string& folder) {
    std::string path;
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t slash = folder.find('/', start);
        const std::size_t end = slash == std::string::npos ? folder.size() : slash;
        path = folder.substr(0, end);
        if (!path.empty() && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        start = end + 1;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return errno;
    }
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// A name in the recordings folder that tells the user when the recording began.
std::string RecordingName(int attempt) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[80];
    const int length = std::snprintf(name, sizeof name, "rejestracja-%04d%02d%02d-%02d%02d%02d",
                                     local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                     local.tm_hour, local.tm_min, local.tm_sec);
    if (attempt != 0 && length > 0 && static_cast<std::size_t>(length) < sizeof name) {
        std::snprintf(name + length, sizeof name - static_cast<std::size_t>(length), "-%d",
                      attempt + 1);
    }
    return std::string(name) + ".kgd";
}

int CreateExclusive(const std::string& path) {
    // Read and write: the views read the file back through a mapping.
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

}  // namespace

std::unique_ptr<RecordingFile> RecordingFile::Create(const RecordingPlace& place,
                                                     const std::array<uint8_t, 378>& header,
                                                     uint32_t inputs, int& error) {
    static std::atomic<uint32_t> serial{0};
    std::unique_ptr<RecordingFile> file(new RecordingFile());
    file->inputs_ = inputs == 0 ? 1 : inputs;
    file->header_ = header;
    PutU32(file->header_, CountOffset, 0);
    file->fault_ = place.Fault;
    error = 0;
    if (!place.Path.empty()) {
        file->path_ = ResolveLink(place.Path);
        // A file the user may not write stays protected, though its folder would let a rename
        // replace it.
        if (::access(file->path_.c_str(), F_OK) == 0 && ::access(file->path_.c_str(), W_OK) != 0) {
            error = errno;
            return nullptr;
        }
        const std::string folder = FolderOf(file->path_);
        const std::string name = file->path_.substr(file->path_.find_last_of('/') + 1);
        for (int attempt = 0; attempt < 100 && file->fd_ < 0; ++attempt) {
            char suffix[48];
            std::snprintf(suffix, sizeof suffix, ".%ld-%u.tmp", static_cast<long>(::getpid()),
                          serial.fetch_add(1));
            file->temporary_ = folder + "/." + name + suffix;
            file->fd_ = CreateExclusive(file->temporary_);
            if (file->fd_ < 0 && errno != EEXIST) {
                break;
            }
        }
        file->placed_ = false;
    } else {
        if ((error = MakeFolders(place.Folder)) != 0) {
            return nullptr;
        }
        for (int attempt = 0; attempt < 1000 && file->fd_ < 0; ++attempt) {
            file->path_ = place.Folder + "/" + RecordingName(attempt);
            file->fd_ = CreateExclusive(file->path_);
            if (file->fd_ < 0 && errno != EEXIST) {
                break;
            }
        }
        if (file->fd_ >= 0) {
            file->owned_ = true;
            // Held while the program has the file, so a search for interrupted recordings at
            // another start passes it by.
            ::flock(file->fd_, LOCK_EX | LOCK_NB);
        }
    }
    if (file->fd_ < 0) {
        error = errno != 0 ? errno : EEXIST;
        file->owned_ = false;
        file->placed_ = true;
        file->path_.clear();
        return nullptr;
    }
    std::size_t done = 0;
    if ((error = WriteAt(file->fd_, file->header_.data(), file->header_.size(), 0, done)) != 0) {
        return nullptr;
    }
    return file;
}

std::unique_ptr<RecordingFile> RecordingFile::Adopt(const std::string& path,
                                                    const std::array<uint8_t, 378>& header,
                                                    uint32_t inputs, uint32_t scans, int& error) {
    std::unique_ptr<RecordingFile> file(new RecordingFile());
    error = 0;
    file->fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (file->fd_ < 0 || ::flock(file->fd_, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        return nullptr;
    }
    file->path_ = path;
    file->owned_ = true;
    file->inputs_ = inputs == 0 ? 1 : inputs;
    file->header_ = header;
    file->scans_ = file->durable_ = scans;
    file->end_ = DataOffset + uint64_t{scans} * file->inputs_ * 4;
    // What followed the last flush may never have reached the disk: it goes.
    if (::ftruncate(file->fd_, static_cast<off_t>(file->end_)) != 0) {
        error = errno;
        file->owned_ = false;
        return nullptr;
    }
    return file;
}

RecordingFile::~RecordingFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!placed_) {
        ::unlink(temporary_.c_str());
    } else if (owned_) {
        ::unlink(path_.c_str());
    }
}

int RecordingFile::Append(const uint8_t* scans, uint32_t count) {
    if (failed_) {
        return EIO;
    }
    const std::size_t bytes = std::size_t{count} * inputs_ * 4;
    std::size_t done = 0;
    int error = 0;
    if (fault_) {
        // A disk that fills up takes what fits: the seam is asked scan by scan.
        const std::size_t scan = std::size_t{inputs_} * 4;
        while (done < bytes && (error = fault_(end_ + done, scan)) == 0) {
            std::size_t put = 0;
            if ((error = WriteAt(fd_, scans + done, scan, end_ + done, put)) != 0) {
                break;
            }
            done += scan;
        }
    } else {
        error = WriteAt(fd_, scans, bytes, end_, done);
    }
    if (error != 0) {
        failed_ = true;
        // A scan cut short is no scan: the file ends after the last whole one.
        const uint64_t whole = done / (inputs_ * 4);
        scans_ += static_cast<uint32_t>(whole);
        end_ = DataOffset + uint64_t{scans_} * inputs_ * 4;
        ::ftruncate(fd_, static_cast<off_t>(end_));
        return error;
    }
    scans_ += count;
    end_ += bytes;
    return 0;
}

int RecordingFile::Flush(uint32_t totalSamples) {
    // The scans first: the header never counts a scan that is not on the disk.
    if (::fdatasync(fd_) != 0) {
        return errno;
    }
    PutU32(header_, CountOffset, scans_);
    PutU32(header_, TotalOffset, totalSamples);
    std::size_t done = 0;
    if (const int error =
            WriteAt(fd_, header_.data() + CountOffset, PatchEnd - CountOffset, CountOffset, done);
        error != 0) {
        return error;
    }
    if (::fdatasync(fd_) != 0) {
        return errno;
    }
    durable_ = scans_;
    if (!placed_ && scans_ > 0) {
        if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
            return errno;
        }
        placed_ = true;
        SyncFolderOf(path_);
    }
    return 0;
}

int RecordingFile::WriteHeader(const std::array<uint8_t, 378>& header) {
    header_ = header;
    std::size_t done = 0;
    if (const int error = WriteAt(fd_, header_.data(), header_.size(), 0, done); error != 0) {
        return error;
    }
    if (::fdatasync(fd_) != 0) {
        return errno;
    }
    return 0;
}

int RecordingFile::MoveTo(const std::string& target, const CopyProgress& progress, bool forceCopy) {
    const std::string resolved = ResolveLink(target);
    if (::access(resolved.c_str(), F_OK) == 0 && ::access(resolved.c_str(), W_OK) != 0) {
        return errno;
    }
    const std::string& source = Path();
    if (!forceCopy && ::rename(source.c_str(), resolved.c_str()) == 0) {
        SyncFolderOf(resolved);
    } else {
        if (!forceCopy && errno != EXDEV) {
            return errno;
        }
        // Another file system: a copy, which replaces the target only once it is complete.
        ReplacingFile copy(resolved);
        if (const int error = copy.Open(); error != 0) {
            return error;
        }
        // 8 MB at a time, copied inside the system: progress is told often enough.
        constexpr uint64_t Step = uint64_t{8} << 20;
        for (uint64_t done = 0; done < end_;) {
            const auto n = static_cast<std::size_t>(std::min(Step, end_ - done));
            if (!copy.WriteFrom(fd_, done, n)) {
                return copy.Error();
            }
            done += n;
            if (progress && !progress(done, end_)) {
                return ECANCELED;
            }
        }
        if (const int error = copy.Commit(); error != 0) {
            return error;
        }
        // The data stay readable through the descriptor until the document lets go of them.
        ::unlink(source.c_str());
    }
    path_ = resolved;
    placed_ = true;
    owned_ = false;
    return 0;
}

}  // namespace kresograf
