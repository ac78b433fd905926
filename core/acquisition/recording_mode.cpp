#include "acquisition/recording_mode.h"

#include <sys/sysinfo.h>

#include <algorithm>
#include <cstdio>

#include "acquisition/acquisition_context.h"
#include "acquisition/acquisition_preparation.h"
#include "acquisition/oscilloscope_mode.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/registered_params.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

bool GrowSpareSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans, uint64_t availableBytes) {
    if (scans <= BaseCapacity) {
        return true;
    }
    // Eight sample arrays and the scan times, four bytes an entry.
    const uint64_t requested = uint64_t{scans} * 9 * sizeof(int32_t);
    if (requested > availableBytes) {
        return false;
    }
    for (int input = 0; input < 8; ++input) {
        if (!doc.Samples[set][input].Resize(scans, doc.Allocation)) {
            for (int back = input - 1; back >= 0; --back) {
                doc.Samples[set][back].Resize(BaseCapacity, doc.Allocation);
            }
            return false;
        }
    }
    return doc.ScanTime[set].Resize(scans, doc.Allocation);
}

uint64_t AvailableMemoryBytes() {
    uint64_t available = 0;
    uint64_t swapFree = 0;
    bool known = false;
    if (std::FILE* info = std::fopen("/proc/meminfo", "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, info) != nullptr) {
            unsigned long long kib = 0;
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                available = kib * 1024;
                known = true;
            } else if (std::sscanf(line, "SwapFree: %llu kB", &kib) == 1) {
                swapFree = kib * 1024;
            }
        }
        std::fclose(info);
    }
    struct sysinfo system {};
    if (!known && ::sysinfo(&system) == 0) {
        available = (uint64_t{system.freeram} + system.bufferram) * system.mem_unit;
        swapFree = uint64_t{system.freeswap} * system.mem_unit;
        known = true;
    }
    return known ? available + swapFree : UINT64_MAX;
}

namespace {

LiveRecording LiveFor(uint32_t set, uint32_t scans, const PreparedAcquisition& prepared) {
    LiveRecording live;
    live.Set = set;
    live.PlannedScans = scans;
    live.Params = prepared.Registered;
    for (int i = 0; i < prepared.Registered.ChannelCount; ++i) {
        live.Present[prepared.Registered.Channels[i] & 0x7F] = 1;
    }
    return live;
}

}  // namespace

int RunRecording(AcquisitionContext& context, CZefraKrgDoc& doc) {
    AcquisitionParams working;
    TriggerParams trigger;
    doc.WorkingBlock(working, trigger);
    PreparedAcquisition prepared;
    const PrepareResult check =
        PrepareAcquisition(working, trigger, context.Settings, false, prepared);
    if (check == PrepareResult::NoChannel) {
        context.Frame.ShowMessageBox(PrepareMessage(check));
        context.Frame.SendMessage(WM_ACQ_STATUS, StatusNoChannel);
        return EndAcquisition(context, doc, doc.RecRunning, ModeNoChannel, false);
    }
    const uint32_t spare = doc.Spare();
    if (check == PrepareResult::Ok || check == PrepareResult::PairGainMismatch) {
        const uint32_t scans = working.TotalSamples / static_cast<uint32_t>(working.ChannelCount);
        if (!GrowSpareSet(doc, spare, scans, AvailableMemoryBytes())) {
            context.Frame.ShowMessageBox(OutOfMemoryMessage());
            return EndAcquisition(context, doc, doc.RecRunning, ModeNoChannel, false);
        }
    }
    if (check != PrepareResult::Ok) {
        context.Frame.ShowMessageBox(PrepareMessage(check));
        return EndAcquisition(
            context, doc, doc.RecRunning,
            check == PrepareResult::PairGainMismatch ? ModePairGain : ModeNoChannel, false);
    }

    const auto channelCount = static_cast<uint32_t>(prepared.Card.ChannelCount);
    const uint32_t room = doc.SetCapacity(spare) * channelCount;
    // The reader may never keep more than the arrays hold; 0 would mean no limit at all.
    uint32_t count = std::min(prepared.Card.TotalSamples / prepared.Card.Prescaler, room);
    if (count == 0) {
        count = channelCount;
    }
    context.Card.Attach(context.Address);
    if (context.Card.SendCommand(CmdRecordStream, prepared.Card, prepared.CardTrigger) != CardOk) {
        context.Frame.ShowMessageBox(ReceiveFailedMessage());
        context.Frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        return EndAcquisition(context, doc, doc.RecRunning, ModeCardFailed, true);
    }
    ReadTarget target = TargetFor(doc, spare, prepared);
    target.Published = &doc.LiveScans;
    doc.BeginLive(LiveFor(spare, count / channelCount, prepared));
    const int read = context.Card.ReadStream(target, count, doc.RecRunning, context.Frame);
    if (read == CardOverrun) {
        // What arrived before the overrun is good data and is kept.
        context.Frame.ShowMessageBox(OverrunMessage());
    }
    if (count == 0) {
        doc.EndLive();
        return EndAcquisition(context, doc, doc.RecRunning,
                              read == CardOverrun ? ModeCardFailed : ModeStopped, true);
    }
    CommitSet(doc, spare, count, prepared);
    // Only now: in between, a view goes on showing the recording rather than the old set.
    doc.EndLive();
    context.Frame.PostMessage(WM_DOC_UPDATE, HintRecordingDone);

    context.Frame.ShowRegisteredParams(RegisteredParamsRequestOf(doc));
    return EndAcquisition(context, doc, doc.RecRunning,
                          read == CardOverrun ? ModeCardFailed : ModeStopped, true);
}

}  // namespace kresograf
