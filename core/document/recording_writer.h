#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "base/user_message.h"
#include "base/worker_thread.h"
#include "document/kgd_file.h"
#include "document/recording_file.h"
#include "document/sample_array.h"
#include "document/scan_store.h"

namespace kresograf {

// A recording on its way from the card reader to its file while the card streams. The reader
// stores each scan into a ring in memory, interleaved as the file holds it; the writer's own
// thread appends what the reader has stored to the file, summarises it for the views, publishes
// it (the views then read it back through the file's mapping) and, once a second, makes it
// durable. The ring is a few megabytes whatever the recording's length.
class RecordingWriter {
  public:
    struct Plan {
        RecordingPlace Place;
        // The file's header as the recording starts (its count is written as 0).
        FileHeaderBytes Header{};
        std::array<uint32_t, 8> Present{};
        uint32_t PlannedScans = 0;
        // What a flush writes as the run's conversions: scans x ConversionsPerScan, at most
        // TotalSamples.
        uint32_t ConversionsPerScan = 1;
        uint32_t TotalSamples = 0;
        AllocationGate Allocation;
    };

    // Checks the disk, creates the file, maps it for the planned length, lays out the summaries
    // and the ring, and starts the thread. Nullptr with the message to show when any of it
    // fails; nothing is left behind then.
    static std::unique_ptr<RecordingWriter> Create(const Plan& plan,
                                                   std::atomic<uint32_t>& published,
                                                   std::atomic<uint32_t>& run,
                                                   UserMessage& message);
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // The reader's side: the ring's scan slots (a power of two), where the reader counts the
    // scans it stored (release) and where the writer counts those it has taken (acquire).
    int32_t* Ring() { return ring_.get(); }
    uint32_t RingScans() const { return ringScans_; }
    std::atomic<uint32_t>& Stored() { return stored_; }
    const std::atomic<uint32_t>& Consumed() const { return consumed_; }

    const std::shared_ptr<ScanStore>& Store() const { return store_; }
    RecordingFile& File() { return *file_; }

    // Ends writing after the reader's last scan: all it stored goes to the file and is made
    // durable. Returns the scans the file holds; error is what ended the writing early (0 when
    // nothing did).
    uint32_t Finish(int& error);

  private:
    RecordingWriter() = default;
    void Loop();
    // Appends what the reader stored since; on a failure stops the run.
    void Drain();
    int Flush();

    Plan plan_;
    std::shared_ptr<RecordingFile> file_;
    std::shared_ptr<ScanStore> store_;
    std::unique_ptr<int32_t[]> ring_;
    uint32_t ringScans_ = 0;
    uint32_t inputs_ = 1;
    std::atomic<uint32_t> stored_{0};
    std::atomic<uint32_t> consumed_{0};
    std::atomic<uint32_t>* published_ = nullptr;
    std::atomic<uint32_t>* run_ = nullptr;
    uint32_t written_ = 0;
    int error_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    WorkerThread thread_;
};

// The disk of folder: bytes free to the user; nothing when it cannot be told.
std::optional<uint64_t> FreeDiskBytes(const std::string& folder);

// Memory the program needs could not be had.
UserMessage OutOfMemoryMessage();
// A recording planned to take more than the disk has.
UserMessage NoDiskRoomMessage(uint64_t needed, uint64_t available, const std::string& folder);
// A recording that ended because its file could not be written (errno error); what was written
// before stays.
UserMessage RecordingWriteMessage(int error);

}  // namespace kresograf
