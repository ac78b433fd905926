#pragma once

#include <cstdint>
#include <memory>

namespace kresograf {

// A file read in place through a shared read-only mapping, guarded against the file shrinking
// under it: a page that no longer has a file behind it would raise SIGBUS on reading, and the
// program's handler maps zero pages over the rest of the mapping instead and marks the file lost.
// Readers then see zeros where the data went, never a crash, and whoever reads checks Lost()
// afterwards to tell the user. The mapping may be longer than the file (a recording that grows
// into it): only bytes the file holds may be read.
class MappedFile {
  public:
    // Maps length bytes of the open file fd; nullptr with errno in error when the system refuses
    // (no address space). The descriptor may be closed afterwards.
    static std::shared_ptr<MappedFile> Map(int fd, uint64_t length, int& error);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const uint8_t* Data() const { return data_; }
    uint64_t Length() const { return length_; }
    // Part of the file went away under the mapping since it was made.
    bool Lost() const;
    // Told by a reader that met the loss another way: the system refused to copy from the
    // mapping (EFAULT) where the file had gone.
    void MarkLost() const;

  private:
    MappedFile(const uint8_t* data, uint64_t length, int slot)
        : data_(data), length_(length), slot_(slot) {}

    const uint8_t* data_;
    uint64_t length_;
    int slot_;
};

// Installs the program's handling of file faults once: the SIGBUS guard of the mappings, and a
// file-size limit taken as a full disk (SIGXFSZ ignored, so a write past it fails with EFBIG and
// the program reports it) rather than as the end of the process.
void InstallFileGuards();

}  // namespace kresograf
