#include "acquisition/oscilloscope_mode.h"

#include <algorithm>

#include "acquisition/acquisition_context.h"
#include "acquisition/acquisition_preparation.h"
#include "acquisition/frame_link.h"
#include "acquisition/settings_record.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {
namespace {

// Every way out of the mode ends here: the flags, the status line, and the token last of all,
// so nothing of this worker reaches the main frame once another acquisition may start.
int EndMode(AcquisitionContext& context, CZefraKrgDoc& doc, int result, bool ended) {
    doc.OscRunning = 0;
    doc.ClearWorkingRunning();
    if (ended) {
        context.Frame.SendMessage(WM_ACQ_ENDED, 0);
    }
    context.Settings.AcquiringDocId = 0;
    return result;
}

}  // namespace

int RunOscilloscope(AcquisitionContext& context, CZefraKrgDoc& doc) {
    for (;;) {
        if (doc.OscRunning.load() == 0) {
            return EndMode(context, doc, ModeStopped, true);
        }
        AcquisitionParams working;
        TriggerParams trigger;
        doc.WorkingBlock(working, trigger);
        PreparedAcquisition prepared;
        const PrepareResult check =
            PrepareAcquisition(working, trigger, context.Settings, true, prepared);
        if (check != PrepareResult::Ok) {
            context.Frame.ShowMessageBox(PrepareMessage(check));
            if (check == PrepareResult::NoChannel) {
                context.Frame.SendMessage(WM_ACQ_STATUS, StatusNoChannel);
            }
            return EndMode(context, doc,
                           check == PrepareResult::PairGainMismatch ? ModePairGain : ModeNoChannel,
                           false);
        }

        const uint32_t spare = doc.Spare();
        const auto channelCount = static_cast<uint32_t>(prepared.Card.ChannelCount);
        const uint32_t room = doc.SetCapacity(spare) * channelCount;
        uint32_t count = std::min(prepared.Card.TotalSamples / prepared.Card.Prescaler, room);
        if (context.Card.SendCommand(CmdScopeShot, prepared.Card, prepared.CardTrigger) != CardOk) {
            context.Frame.ShowMessageBox(SendFailedMessage());
            context.Frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
            return EndMode(context, doc, ModeCardFailed, true);
        }
        const int read = context.Card.ReadShot(TargetFor(doc, spare, prepared), count,
                                               doc.OscRunning, context.Frame);
        if (read != CardOk) {
            context.Frame.ShowMessageBox(ReceiveFailedMessage());
            return EndMode(context, doc, ModeCardFailed, true);
        }
        if (count == 0) {
            // Stopped while the card waited for its trigger: the shown set stays as it was.
            continue;
        }
        CommitSet(doc, spare, count, prepared);
        context.Frame.SendMessage(WM_DOC_UPDATE, HintNewShot);
    }
}

}  // namespace kresograf
