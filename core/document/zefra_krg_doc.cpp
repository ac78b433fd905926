#include "document/zefra_krg_doc.h"

#include <algorithm>
#include <ctime>
#include <set>

#include "base/translation.h"
#include "document/mapped_file.h"

namespace kresograf {
namespace {

// DocIds of the open documents. A DocId starts from the calendar time in seconds and moves on
// past any value an open document already holds, so two documents made in the same second still
// differ.
std::mutex& IdMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<uint32_t>& IdsInUse() {
    static std::set<uint32_t> ids;
    return ids;
}

uint32_t TakeDocId() {
    std::lock_guard lock(IdMutex());
    uint32_t id = static_cast<uint32_t>(std::time(nullptr));
    while (id == 0 || IdsInUse().count(id) != 0) {
        ++id;
    }
    IdsInUse().insert(id);
    return id;
}

void ReleaseDocId(uint32_t id) {
    std::lock_guard lock(IdMutex());
    IdsInUse().erase(id);
}

}  // namespace

CZefraKrgDoc::CZefraKrgDoc() : DocId(TakeDocId()) {
    // Every program with a document reads files through mappings and writes them as they grow.
    InstallFileGuards();
    // The arrays come when a shot needs them: a document that only records or shows a file
    // never takes them.
    for (uint32_t set = 0; set < 2; ++set) {
        ChannelPresent[set].fill(1);
    }
}

CZefraKrgDoc::~CZefraKrgDoc() {
    ReleaseDocId(DocId);
}

void CZefraKrgDoc::DeleteContents() {
    CurrentSet = 0;
    SampleCount = {0, 0};
    ChannelPresent[0].fill(1);
    for (uint32_t set : {1u, 0u}) {
        SetStore(set, nullptr);
        for (auto& samples : Samples[set]) {
            samples.Resize(0);
        }
        ScanTime[set].Resize(0);
        ++Generation[set];
    }
}

bool CZefraKrgDoc::ResizeSet(uint32_t set, uint32_t entries) {
    SetStore(set, nullptr);
    for (auto& samples : Samples[set]) {
        if (!samples.Resize(entries, Allocation)) {
            return false;
        }
    }
    return ScanTime[set].Resize(entries, Allocation);
}

bool CZefraKrgDoc::ReserveShotSet(uint32_t set) {
    std::size_t capacity = ScanTime[set].Size();
    for (const auto& samples : Samples[set]) {
        capacity = std::min(capacity, samples.Size());
    }
    if (capacity >= BaseCapacity) {
        SetStore(set, nullptr);
        return true;
    }
    if (!ResizeSet(set, BaseCapacity)) {
        // Nothing half-grown stays behind: the set holds nothing now.
        ResizeSet(set, 0);
        return false;
    }
    return true;
}

uint32_t CZefraKrgDoc::SetCapacity(uint32_t set) const {
    if (const auto store = Store(set)) {
        return store->Scans();
    }
    std::size_t capacity = ScanTime[set].Size();
    for (const auto& samples : Samples[set]) {
        capacity = std::min(capacity, samples.Size());
    }
    return static_cast<uint32_t>(capacity);
}

SetSamples CZefraKrgDoc::ReadSet(uint32_t set) const {
    SetSamples read;
    read.Store = Store(set);
    if (read.Store != nullptr) {
        for (int c = 0; c < 8; ++c) {
            read.Columns[c] = read.Store->Column(c);
        }
        read.Times = ScanTimes::Stepped(static_cast<int32_t>(read.Store->Inputs()));
        read.Capacity = read.Store->Scans();
        return read;
    }
    for (int c = 0; c < 8; ++c) {
        read.Columns[c] = Samples[set][c].Data();
    }
    read.Times = ScanTime[set].Data();
    read.Capacity = SetCapacity(set);
    return read;
}

std::shared_ptr<ScanStore> CZefraKrgDoc::Store(uint32_t set) const {
    std::lock_guard lock(ParamsMutex);
    return stores_[set];
}

void CZefraKrgDoc::SetStore(uint32_t set, std::shared_ptr<ScanStore> store) {
    std::shared_ptr<ScanStore> old;
    {
        std::lock_guard lock(ParamsMutex);
        old = std::move(stores_[set]);
        stores_[set] = std::move(store);
    }
    // The old store (its mapping, an unsaved recording's file) goes outside the lock.
    old.reset();
}

UserMessage SamplesLostMessage() {
    return UserMessage{Tr("Błąd odczytu pliku"), Tr("Wystąpił błąd podczas odczytu pliku."),
                       MessageIcon::Stop};
}

std::optional<UserMessage> CZefraKrgDoc::CheckSamples() const {
    const auto store = Store(CurrentSet.load());
    if (store != nullptr && store->Lost()) {
        return SamplesLostMessage();
    }
    return std::nullopt;
}

void FindScanRange(ScanTimes t, uint32_t n, int32_t x1, int32_t x2, int32_t& first, int32_t& last) {
    first = last = -1;
    if (n == 1) {
        if (x1 <= t[0] && t[0] <= x2) {
            first = last = 0;
        }
        return;
    }
    if (n == 0) {
        return;
    }
    // Scan times ascend, so the scan before the window and the scan after it are found by
    // bisection: first is the last scan before x1 (or 0) once any scan reaches x1; last is the
    // first scan after x2 (or the final one) once any scan lies at or before x2.
    const uint32_t reach = LowerBound(t, n, x1);
    if (reach != n) {
        first = reach == 0 ? 0 : static_cast<int32_t>(reach - 1);
    }
    if (t[0] <= x2) {
        const uint32_t after = UpperBound(t, n, x2);
        last = after == n ? static_cast<int32_t>(n - 1) : static_cast<int32_t>(after);
    }
}

void CZefraKrgDoc::FindVisibleRange(int32_t x1, int32_t x2, int32_t& first, int32_t& last) const {
    const uint32_t set = CurrentSet.load();
    const SetSamples read = ReadSet(set);
    FindScanRange(read.Times, std::min(SampleCount[set], read.Capacity), x1, x2, first, last);
}

CommandState CZefraKrgDoc::QueryCommand(DocCommand command, uint32_t acquiringDocId) const {
    const bool acquiring = Acquiring(acquiringDocId);
    switch (command) {
        case DocCommand::OscilloscopeStart:
            if (OscRunning.load() != 0) {
                return {true, true};
            }
            return {acquiringDocId == 0, false};
        case DocCommand::RecordingStart:
            if (RecRunning.load() != 0) {
                return {true, true};
            }
            return {acquiringDocId == 0, false};
        case DocCommand::RegisteredParams:
            return {!acquiring && SampleCount[CurrentSet.load()] > 0, false};
        default:
            return {!acquiring, false};
    }
}

std::optional<UserMessage> CZefraKrgDoc::CloseCheck(uint32_t acquiringDocId) const {
    if (Acquiring(acquiringDocId)) {
        return UserMessage{Tr("UWAGA"), Tr("Nie można zamknąć dokumentu - trwa akwizycja"),
                           MessageIcon::Exclamation};
    }
    return std::nullopt;
}

AcquisitionParams CZefraKrgDoc::WorkingParams() const {
    std::lock_guard lock(ParamsMutex);
    return Params[0];
}

void CZefraKrgDoc::WorkingBlock(AcquisitionParams& params, TriggerParams& trigger) const {
    std::lock_guard lock(ParamsMutex);
    params = Params[0];
    trigger = Triggers[0];
}

TriggerParams CZefraKrgDoc::WorkingTrigger() const {
    std::lock_guard lock(ParamsMutex);
    return Triggers[0];
}

void CZefraKrgDoc::SetWorking(const AcquisitionParams& params, const TriggerParams& trigger) {
    std::lock_guard lock(ParamsMutex);
    Params[0] = params;
    Triggers[0] = trigger;
}

AcquisitionParams CZefraKrgDoc::RegisteredParams() const {
    std::lock_guard lock(ParamsMutex);
    return Params[1];
}

TriggerParams CZefraKrgDoc::RegisteredTrigger() const {
    std::lock_guard lock(ParamsMutex);
    return Triggers[1];
}

void CZefraKrgDoc::Register(const AcquisitionParams& params, const TriggerParams& trigger) {
    std::lock_guard lock(ParamsMutex);
    Params[1] = params;
    Triggers[1] = trigger;
}

void CZefraKrgDoc::ClearWorkingRunning() {
    std::lock_guard lock(ParamsMutex);
    Params[0].Running = 0;
}

void CZefraKrgDoc::BeginLive(const LiveRecording& live) {
    LiveScans = 0;
    std::lock_guard lock(ParamsMutex);
    live_ = live;
}

void CZefraKrgDoc::EndLive() {
    std::lock_guard lock(ParamsMutex);
    live_.reset();
}

std::optional<LiveRecording> CZefraKrgDoc::Live() const {
    std::lock_guard lock(ParamsMutex);
    return live_;
}

}  // namespace kresograf
