#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "base/acquisition_params.h"
#include "base/user_message.h"
#include "document/sample_array.h"
#include "document/sample_column.h"

namespace kresograf {

// Entries per array of a fresh document; oscilloscope shots never hold more scans.
inline constexpr uint32_t BaseCapacity = 200'000;

// The document's commands whose enabled and checked states it decides.
enum class DocCommand {
    OscilloscopeStart,
    RecordingStart,
    RegisteredParams,
    Save,
    SaveAs,
    Print,
    PrintPreview,
    ExportAscii,
    AnalogOutputFromFile,
    DigitalOutputFromFile,
    FormulaOutput,
    Generator,
};

struct CommandState {
    bool Enabled = false;
    bool Checked = false;

    friend bool operator==(const CommandState&, const CommandState&) = default;
};

// A recording while it runs, as the views may show it.
struct LiveRecording {
    uint32_t Set = 0;
    // Scans the run is planned to hold; its time axis covers them all from the start.
    uint32_t PlannedScans = 0;
    // The block the recording runs with.
    AcquisitionParams Params;
    // The inputs it records.
    std::array<uint32_t, 8> Present{};
};

// First and last of n ascending scan times to draw for the window [x1, x2]: the scan before x1
// (or 0) once any scan reaches x1, and the scan after x2 (or the final one) once any scan lies at
// or before x2; -1 where there is none. A single scan is drawn only inside the window.
void FindScanRange(ScanTimes scanTimes, uint32_t n, int32_t x1, int32_t x2, int32_t& first,
                   int32_t& last);

// One measurement with up to eight inputs, held in two complete sample sets: an acquisition
// fills the set that is not shown and then makes it current, so a view never sees a half-filled
// set. Params[0]/Triggers[0] is the working block the next acquisition reads; Params[1]/
// Triggers[1] is the registered block that describes the data shown (every completed acquisition
// registers the block it ran with there).
class CZefraKrgDoc {
  public:
    CZefraKrgDoc();
    ~CZefraKrgDoc();
    CZefraKrgDoc(const CZefraKrgDoc&) = delete;
    CZefraKrgDoc& operator=(const CZefraKrgDoc&) = delete;

    // Empties both sets and brings them back to the base size; the parameter blocks stay.
    void DeleteContents();
    // Reallocates the eight sample arrays and the scan-time array of a set to n entries.
    // Returns false when an allocation fails; the arrays reallocated before it keep their new
    // size.
    bool ResizeSet(uint32_t set, uint32_t entries);
    // Entries the arrays of a set can hold (the smallest of its nine arrays).
    uint32_t SetCapacity(uint32_t set) const;

    uint32_t Spare() const { return 1 - CurrentSet.load(); }

    // How the samples and scan times of a set are read.
    SampleColumn Column(uint32_t set, int input) const { return Samples[set][input].Data(); }
    ScanTimes Times(uint32_t set) const { return ScanTime[set].Data(); }

    // First and last scan of the current set to draw for the time window [x1, x2] in ScanTime
    // units, one scan beyond each edge included; -1, -1 when nothing is to be drawn.
    void FindVisibleRange(int32_t x1, int32_t x2, int32_t& first, int32_t& last) const;

    // Enabled and checked state of a command, given the application's acquisition token.
    CommandState QueryCommand(DocCommand command, uint32_t acquiringDocId) const;
    bool Acquiring(uint32_t acquiringDocId) const { return acquiringDocId == DocId; }
    // The message to show when the document may not close now; nothing when it may.
    std::optional<UserMessage> CloseCheck(uint32_t acquiringDocId) const;

    // The blocks, copied under the lock that keeps the worker and the windows apart.
    AcquisitionParams WorkingParams() const;
    void WorkingBlock(AcquisitionParams& params, TriggerParams& trigger) const;
    TriggerParams WorkingTrigger() const;
    void SetWorking(const AcquisitionParams& params, const TriggerParams& trigger);
    AcquisitionParams RegisteredParams() const;
    TriggerParams RegisteredTrigger() const;
    void Register(const AcquisitionParams& params, const TriggerParams& trigger);
    void ClearWorkingRunning();

    // A running recording: announced once its set's arrays are grown, before the card starts,
    // and withdrawn when it ends. Nothing moves those arrays in between.
    void BeginLive(const LiveRecording& live);
    void EndLive();
    std::optional<LiveRecording> Live() const;

    std::array<std::array<SampleArray, 8>, 2> Samples;
    std::array<SampleArray, 2> ScanTime;
    std::array<std::array<uint32_t, 8>, 2> ChannelPresent{};
    std::array<uint32_t, 2> SampleCount{};
    const uint32_t DocId;
    std::atomic<uint32_t> CurrentSet{0};
    uint32_t LoadResult = 0;
    uint32_t Capacity = BaseCapacity;
    std::atomic<uint32_t> OscRunning{0};
    std::atomic<uint32_t> RecRunning{0};
    std::array<AcquisitionParams, 2> Params{};
    std::array<TriggerParams, 2> Triggers{};
    // Bumped before a set's contents change, so a view can tell its summaries are stale.
    std::array<std::atomic<uint64_t>, 2> Generation{};
    // Complete scans of the running recording: the card reader stores the count with release
    // once a scan is written; a view loads it with acquire and reads no further.
    std::atomic<uint32_t> LiveScans{0};
    std::atomic<bool> Modified{false};
    // Test seam for the arrays' allocations.
    AllocationGate Allocation;

    // Guards Params, Triggers and the live recording between the acquisition worker and the
    // windows.
    mutable std::mutex ParamsMutex;

  private:
    std::optional<LiveRecording> live_;
};

}  // namespace kresograf
