#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "base/acquisition_params.h"
#include "base/user_message.h"
#include "document/sample_array.h"
#include "document/sample_column.h"
#include "document/scan_store.h"

namespace kresograf {

// Entries per array of a set held in memory; oscilloscope shots never hold more scans.
inline constexpr uint32_t BaseCapacity = 200'000;

// One set as a reader sees it, kept readable for as long as the reader holds this: the columns
// of its eight inputs (an input a file does not hold reads as zeros), its scan times, and the
// scans it can hold.
struct SetSamples {
    std::shared_ptr<const ScanStore> Store;
    std::array<SampleColumn, 8> Columns{};
    ScanTimes Times;
    uint32_t Capacity = 0;
};

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

// The file error of a set whose file went away under the program.
UserMessage SamplesLostMessage();

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
//
// A set is held in one of two ways. An oscilloscope shot fills the set's arrays in memory,
// Samples and ScanTime (allocated at BaseCapacity entries when a shot first needs them). A
// recording and an opened file are a ScanStore instead: the file's interleaved scans read in
// place through a mapping, with scan times k x the inputs present; the heap such a set takes is
// its summaries, whatever its length. Everything that reads a set goes through ReadSet (or
// Column and Times), which answer for both.
class CZefraKrgDoc {
  public:
    CZefraKrgDoc();
    ~CZefraKrgDoc();
    CZefraKrgDoc(const CZefraKrgDoc&) = delete;
    CZefraKrgDoc& operator=(const CZefraKrgDoc&) = delete;

    // Empties both sets and lets go of their memory and files; the parameter blocks stay.
    void DeleteContents();
    // Makes a set one held in memory, its eight sample arrays and its scan-time array
    // reallocated to n entries. Returns false when an allocation fails; the arrays reallocated
    // before it keep their new size.
    bool ResizeSet(uint32_t set, uint32_t entries);
    // Makes a set one held in memory with room for at least BaseCapacity scans, as a shot needs;
    // false without the memory.
    bool ReserveShotSet(uint32_t set);
    // Scans a set can hold: the smallest of its nine arrays, or the scans of its store.
    uint32_t SetCapacity(uint32_t set) const;

    // How a set is read; see SetSamples.
    SetSamples ReadSet(uint32_t set) const;
    SampleColumn Column(uint32_t set, int input) const { return ReadSet(set).Columns[input]; }
    ScanTimes Times(uint32_t set) const { return ReadSet(set).Times; }
    // The store of a set read from a file; null for a set held in memory.
    std::shared_ptr<ScanStore> Store(uint32_t set) const;
    // Makes a set the given store's (null: held in memory again).
    void SetStore(uint32_t set, std::shared_ptr<ScanStore> store);
    // The file message when the shown set's file went away under the program (truncated by
    // another): what was read from it since is not the data.
    std::optional<UserMessage> CheckSamples() const;

    uint32_t Spare() const { return 1 - CurrentSet.load(); }

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

    // A running recording: announced once its set's store is in place, before the card starts,
    // and withdrawn when it ends.
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
    // Complete scans of the running recording in its file and summaries: stored with release
    // once they are; a view loads it with acquire and reads no further.
    std::atomic<uint32_t> LiveScans{0};
    std::atomic<bool> Modified{false};
    // Test seam for the arrays' allocations.
    AllocationGate Allocation;

    // Guards Params, Triggers, the live recording and the stores between the acquisition worker
    // and the windows.
    mutable std::mutex ParamsMutex;

  private:
    std::optional<LiveRecording> live_;
    std::array<std::shared_ptr<ScanStore>, 2> stores_;
};

}  // namespace kresograf
