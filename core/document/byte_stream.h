#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kresograf {

// Where a reader takes its bytes from. Readers pull large blocks, so a virtual call per block
// costs nothing.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Bytes the source holds in all, counted from its start.
    virtual uint64_t Size() const = 0;
    // Reads up to n bytes; returns fewer only at the end or on a failure (Error() tells which).
    virtual std::size_t Read(void* data, std::size_t n) = 0;
    // errno of the last failure; 0 when none.
    virtual int Error() const = 0;
    // Moves on n bytes without handing them out; false when fewer were there.
    virtual bool Skip(uint64_t n);
};

// Where a writer puts its bytes; writers hand over large blocks.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Writes all n bytes or fails; after a failure Error() holds the errno.
    virtual bool Write(const void* data, std::size_t n) = 0;
    virtual int Error() const = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    std::size_t Read(void* data, std::size_t n) override;
    int Error() const override { return 0; }
    bool Skip(uint64_t n) override;
    // Bytes handed out or skipped so far.
    std::size_t Position() const { return position_; }

  private:
    std::span<const uint8_t> bytes_;
    std::size_t position_ = 0;
};

class VectorSink final : public ByteSink {
  public:
    bool Write(const void* data, std::size_t n) override;
    int Error() const override { return 0; }
    std::vector<uint8_t> Bytes;
};

// A file opened for reading; Size() is its length when opened.
class FileSource final : public ByteSource {
  public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // 0 when opened; otherwise the errno (EISDIR for anything but a regular file).
    int Open(const std::string& path);
    uint64_t Size() const override { return size_; }
    std::size_t Read(void* data, std::size_t n) override;
    int Error() const override { return error_; }
    bool Skip(uint64_t n) override;
    int Descriptor() const { return fd_; }

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
    int error_ = 0;
};

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);
// The file a link points at, or the path itself: a link is replaced through, the link stays.
std::string ResolveLink(const std::string& path);
// Makes a rename in the folder of path reach the disk.
void SyncFolderOf(const std::string& path);

// Test seam: asked before every write with the offset and the size; a non-zero answer fails
// that write with this errno, as the system would.
using WriteFault = std::function<int(uint64_t offset, std::size_t bytes)>;

// Writes a file that replaces its target only once it is complete: the bytes go to a fresh
// temporary file in the target's folder, which Commit flushes to the disk and renames over the
// target. Until then, and whenever anything fails, the target stays as it was; the temporary
// file is removed unless committed. Only where the folder takes no new file but the target
// exists and may be written is the target written in place (and cut to the new length).
class ReplacingFile final : public ByteSink {
  public:
    explicit ReplacingFile(std::string target, WriteFault fault = {});
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // 0 when the temporary file was made; otherwise the errno (EACCES also for a target the
    // user may not write).
    int Open();
    bool Write(const void* data, std::size_t n) override;
    // Writes n bytes of the file fd from offset on, copied inside the system where it can.
    bool WriteFrom(int fd, uint64_t offset, std::size_t n);
    int Error() const override { return error_; }
    // Flushes, closes and renames; 0 on success, otherwise the errno (the target untouched).
    int Commit();
    // The temporary file's path while one exists (for tests).
    const std::string& TemporaryPath() const { return temporary_; }

  private:
    // False, with the error kept, when the file is not open, has failed, or the fault seam
    // fails the next n bytes.
    bool MayWrite(std::size_t n);
    void Discard();

    std::string target_;
    std::string temporary_;
    WriteFault fault_;
    int fd_ = -1;
    uint64_t written_ = 0;
    int error_ = 0;
};

}  // namespace kresograf
