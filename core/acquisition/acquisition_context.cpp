#include "acquisition/acquisition_context.h"

#include <algorithm>

#include "acquisition/oscilloscope_mode.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

bool StartRun(AcquisitionContext& context, CZefraKrgDoc& doc, bool recording, const RoomMaker& room,
              StartedRun& run, int& result) {
    std::atomic<uint32_t>& flag = recording ? doc.RecRunning : doc.OscRunning;
    AcquisitionParams working;
    TriggerParams trigger;
    doc.WorkingBlock(working, trigger);
    const PrepareResult check =
        PrepareAcquisition(working, trigger, context.Settings, !recording, run.Prepared);
    if (check != PrepareResult::Ok) {
        context.Frame.ShowMessageBox(PrepareMessage(check));
        if (check == PrepareResult::NoChannel) {
            context.Frame.SendMessage(WM_ACQ_STATUS, StatusNoChannel);
        }
        result = EndAcquisition(
            context, doc, flag,
            check == PrepareResult::PairGainMismatch ? ModePairGain : ModeNoChannel, false);
        return false;
    }
    run.Set = doc.Spare();
    UserMessage message;
    const std::optional<uint32_t> scans = room(run.Prepared, run.Set, message);
    if (!scans) {
        context.Frame.ShowMessageBox(message);
        result = EndAcquisition(context, doc, flag, ModeNoChannel, false);
        return false;
    }
    // At least one scan (a recording shorter than a scan records one), never more than the room.
    const AcquisitionParams& card = run.Prepared.Card;
    const auto channelCount = static_cast<uint32_t>(card.ChannelCount);
    run.Count = static_cast<uint32_t>(
        std::min<uint64_t>(std::max(card.TotalSamples / card.Prescaler, channelCount),
                           uint64_t{*scans} * channelCount));
    context.Card.Attach(context.Address);
    if (context.Card.SendCommand(recording ? CmdRecordStream : CmdScopeShot, card,
                                 run.Prepared.CardTrigger) != CardOk) {
        context.Frame.ShowMessageBox(ReceiveFailedMessage());
        context.Frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
        result = EndAcquisition(context, doc, flag, ModeCardFailed, true);
        return false;
    }
    return true;
}

ReadTarget TargetFor(CZefraKrgDoc& doc, uint32_t set, const PreparedAcquisition& prepared) {
    // The set is about to change: summaries of it made before are stale from here on.
    ++doc.Generation[set];
    ReadTarget target;
    target.ScanTime = doc.ScanTime[set].Data();
    for (int i = 0; i < 8; ++i) {
        target.Samples[i] = doc.Samples[set][i].Data();
        target.ChannelMap[i] = static_cast<uint8_t>(prepared.Card.Channels[i]);
    }
    target.Prescaler = prepared.Card.Prescaler;
    target.ChannelCount = prepared.Card.ChannelCount;
    return target;
}

void CommitSet(CZefraKrgDoc& doc, uint32_t set, uint32_t scans,
               const PreparedAcquisition& prepared) {
    // Only the scanned inputs hold data in this set; the others' arrays hold whatever an earlier
    // acquisition left there.
    doc.ChannelPresent[set].fill(0);
    for (int i = 0; i < prepared.Registered.ChannelCount; ++i) {
        doc.ChannelPresent[set][prepared.Registered.Channels[i] & 0x7F] = 1;
    }
    doc.SampleCount[set] = scans;
    AcquisitionParams registered = prepared.Registered;
    // A run stopped early holds fewer conversions than it was started for.
    const uint64_t held = static_cast<uint64_t>(scans) *
                          static_cast<uint32_t>(registered.ChannelCount) * registered.Prescaler;
    if (held < registered.TotalSamples) {
        registered.TotalSamples = static_cast<uint32_t>(held);
    }
    doc.Register(registered, prepared.RegisteredTrigger);
    doc.CurrentSet = set;
    doc.Modified = true;
}

int EndAcquisition(AcquisitionContext& context, CZefraKrgDoc& doc, std::atomic<uint32_t>& runFlag,
                   int result, bool ended) {
    runFlag = 0;
    doc.ClearWorkingRunning();
    if (ended) {
        context.Frame.SendMessage(WM_ACQ_ENDED, 0);
    }
    context.Settings.AcquiringDocId = 0;
    return result;
}

}  // namespace kresograf
