#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "base/worker_thread.h"
#include "document/recording_file.h"

namespace kresograf {

class CardPort;
class CZefraKrgDoc;
class FrameLink;
struct SettingsRecord;

// The application's one acquisition worker. The start commands of a document toggle its mode:
// the first call takes the acquisition token and starts the worker, the second asks it to stop.
// The worker reaches the user only through the frame link; it releases the token as its last act.
class AcquisitionRunner {
  public:
    AcquisitionRunner(SettingsRecord& settings, CardPort& card, FrameLink& frame);
    ~AcquisitionRunner();
    AcquisitionRunner(const AcquisitionRunner&) = delete;
    AcquisitionRunner& operator=(const AcquisitionRunner&) = delete;

    // Where recordings go from now on: by default a new file in DefaultRecordingsFolder().
    void SetRecordingPlace(RecordingPlace place);

    // "&Start": oscilloscope mode on or off for this document. Returns false when another
    // acquisition holds the token (the command is disabled then), or when no thread could be
    // started for it: the memory message has been shown then and nothing runs.
    bool ToggleOscilloscope(CZefraKrgDoc& doc);
    // "&Rejestracja": recording mode on or off for this document.
    bool ToggleRecording(CZefraKrgDoc& doc);

    // True while the worker thread has not finished.
    bool Busy() const { return busy_.load(); }
    // The worker's stack (a test makes it one no system gives).
    std::size_t WorkerStackBytes = WorkerThread::DefaultStackBytes;

    // Asks the running acquisition, if any, to stop.
    void RequestStop();
    // Waits for the worker to finish. Never call it from the thread that handles the frame
    // link's sent messages while the worker may still send one.
    void Join();

  private:
    bool Start(CZefraKrgDoc& doc, bool recording);
    void Run(CZefraKrgDoc& doc, bool recording, uint32_t address, const RecordingPlace& place);

    SettingsRecord& settings_;
    CardPort& card_;
    FrameLink& frame_;
    WorkerThread worker_;
    RecordingPlace place_;
    std::atomic<bool> busy_{false};
    std::atomic<CZefraKrgDoc*> running_{nullptr};
};

}  // namespace kresograf
