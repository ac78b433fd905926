#include "acquisition/recording_mode.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "acquisition/acquisition_context.h"
#include "acquisition/acquisition_preparation.h"
#include "acquisition/oscilloscope_mode.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/kgd_file.h"
#include "document/recording_writer.h"
#include "document/registered_params.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
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

// The ring as the card reader fills it: each input's word at its place in the file's scan.
ReadTarget RingTarget(RecordingWriter& writer, const PreparedAcquisition& prepared) {
    const ScanStore& store = *writer.Store();
    ReadTarget target;
    target.Published = &writer.Stored();
    for (int i = 0; i < 8; ++i) {
        target.ChannelMap[i] = static_cast<uint8_t>(prepared.Card.Channels[i]);
        if (const int k = store.Position(i); k >= 0) {
            target.Samples[i] = writer.Ring() + k;
        }
    }
    target.Prescaler = prepared.Card.Prescaler;
    target.ChannelCount = prepared.Card.ChannelCount;
    target.Stride = store.Inputs();
    target.RingScans = writer.RingScans();
    target.Consumed = &writer.Consumed();
    return target;
}

}  // namespace

uint32_t RecordingRoom(uint32_t inputs) {
    return static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) / std::max(1u, inputs) + 1;
}

int RunRecording(AcquisitionContext& context, CZefraKrgDoc& doc) {
    std::unique_ptr<RecordingWriter> writer;
    const RoomMaker room = [&](const PreparedAcquisition& prepared, uint32_t set,
                               UserMessage& message) -> std::optional<uint32_t> {
        const LiveRecording live = LiveFor(set, 0, prepared);
        const auto inputs = static_cast<uint32_t>(
            std::count_if(live.Present.begin(), live.Present.end(), [](uint32_t p) { return p; }));
        const AcquisitionParams& card = prepared.Card;
        const auto channelCount = static_cast<uint32_t>(card.ChannelCount);
        const uint32_t planned =
            std::min(std::max(card.TotalSamples / card.Prescaler, channelCount) / channelCount,
                     RecordingRoom(inputs));
        RecordingWriter::Plan plan;
        plan.Place = context.Place;
        // The header the file starts with: the set it fills, holding the inputs it records.
        auto present = doc.ChannelPresent;
        present[set] = live.Present;
        plan.Header =
            FileHeaderOf(set, present, 0, prepared.Registered, prepared.RegisteredTrigger);
        plan.Present = live.Present;
        plan.PlannedScans = planned;
        plan.ConversionsPerScan = channelCount * card.Prescaler;
        plan.TotalSamples = prepared.Registered.TotalSamples;
        plan.Allocation = doc.Allocation;
        writer = RecordingWriter::Create(plan, doc.LiveScans, doc.RecRunning, message);
        if (writer == nullptr) {
            return std::nullopt;
        }
        return planned;
    };
    StartedRun run;
    int result = 0;
    if (!StartRun(context, doc, true, room, run, result)) {
        return result;
    }

    // The set is about to change: summaries of it made before are stale from here on.
    ++doc.Generation[run.Set];
    doc.SetStore(run.Set, writer->Store());
    const auto channelCount = static_cast<uint32_t>(run.Prepared.Card.ChannelCount);
    doc.BeginLive(LiveFor(run.Set, run.Count / channelCount, run.Prepared));
    uint32_t count = run.Count;
    const int read = context.Card.ReadStream(RingTarget(*writer, run.Prepared), count,
                                             doc.RecRunning, context.Frame);
    int writeError = 0;
    const uint32_t kept = writer->Finish(writeError);
    if (read == CardOverrun) {
        // What arrived before the overrun is good data and is kept.
        context.Frame.ShowMessageBox(OverrunMessage());
    }
    if (writeError != 0) {
        // So is what reached the file before it could take no more.
        context.Frame.ShowMessageBox(RecordingWriteMessage(writeError));
    }
    const int outcome = read == CardOverrun || writeError != 0 ? ModeCardFailed : ModeStopped;
    if (kept == 0) {
        doc.EndLive();
        doc.SetStore(run.Set, nullptr);
        return EndAcquisition(context, doc, doc.RecRunning, outcome, true);
    }
    CommitSet(doc, run.Set, kept, run.Prepared);
    // The file ends as the document would save it, so saving can simply move it.
    if (const int error = writer->File().WriteHeader(FileHeaderOf(doc)); error != 0) {
        context.Frame.ShowMessageBox(*WriteFailure(error).Message);
    }
    // Only now: in between, a view goes on showing the recording rather than the old set.
    doc.EndLive();
    writer.reset();
    context.Frame.PostMessage(WM_DOC_UPDATE, HintRecordingDone);

    context.Frame.ShowRegisteredParams(RegisteredParamsRequestOf(doc));
    return EndAcquisition(context, doc, doc.RecRunning, outcome, true);
}

}  // namespace kresograf
