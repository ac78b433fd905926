#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document/byte_stream.h"

namespace kresograf {

// Where a recording's file goes: a file the user named (Path), or else a new file of the
// program's own in a recordings folder (Folder), kept there until the document is saved and
// removed when the document lets go of it unsaved.
struct RecordingPlace {
    std::string Path;
    std::string Folder;
    // Test seams: a write the system would fail (a full disk), and the free bytes of a folder as
    // the system would tell them.
    WriteFault Fault;
    std::function<uint64_t(const std::string& folder)> FreeSpace;
};

// Told how far a copy has come (bytes done of all); returns false to cancel it.
using CopyProgress = std::function<bool(uint64_t done, uint64_t total)>;

// A native document file written while its scans arrive: the header first, then whole scans
// appended with pwrite (never through a mapping, so a full disk is an error code, not a signal).
// The file is a valid document at every moment: Flush makes the appended scans durable before
// the header counts them. A file the user named is written beside its target first and takes
// its place at the first flush that holds a scan, so an older file there stays until then.
class RecordingFile {
  public:
    // Creates the file and writes its header (a whole native header with a count of 0); inputs
    // is the number of words in a scan. Nullptr with the errno in error on failure.
    static std::unique_ptr<RecordingFile> Create(const RecordingPlace& place,
                                                 const std::array<uint8_t, 378>& header,
                                                 uint32_t inputs, int& error);
    // Takes a file the program wrote before (an interrupted recording) as its own again: locked,
    // and cut back to its header and the given whole scans. Nullptr with the errno in error
    // (EWOULDBLOCK: a running program holds it).
    static std::unique_ptr<RecordingFile> Adopt(const std::string& path,
                                                const std::array<uint8_t, 378>& header,
                                                uint32_t inputs, uint32_t scans, int& error);
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Appends count whole scans; 0 or the errno. After a failure the file ends after its last
    // whole scan again and takes nothing more.
    int Append(const uint8_t* scans, uint32_t count);
    // Makes every appended scan durable, then the header's scan count and total conversions
    // (totalSamples) say so; 0 or the errno.
    int Flush(uint32_t totalSamples);
    // Rewrites the whole header (a finished recording's, as its document would save it) and
    // makes it durable.
    int WriteHeader(const std::array<uint8_t, 378>& header);

    // Gives the file to the user at target: renamed there on the same file system (instant),
    // else copied next to it and renamed over it once complete (progress told, cancel honoured:
    // ECANCELED), the recording then removed from the folder. The target is replaced only by a
    // complete file; on failure the recording stays as it was. 0 or the errno.
    int MoveTo(const std::string& target, const CopyProgress& progress = {},
               bool forceCopy = false);

    uint32_t Scans() const { return scans_; }
    uint32_t DurableScans() const { return durable_; }
    int Descriptor() const { return fd_; }
    const std::string& Path() const { return placed_ ? path_ : temporary_; }
    // The program's own file in its recordings folder, not yet saved by the user.
    bool Owned() const { return owned_; }
    // Byte offset of the first scan.
    static constexpr uint64_t DataOffset = 378;

  private:
    RecordingFile() = default;

    int fd_ = -1;
    std::string path_;
    std::string temporary_;
    bool placed_ = true;
    bool owned_ = false;
    bool failed_ = false;
    uint32_t inputs_ = 1;
    uint32_t scans_ = 0;
    uint32_t durable_ = 0;
    uint64_t end_ = DataOffset;
    std::array<uint8_t, 378> header_{};
    WriteFault fault_;
};

}  // namespace kresograf
