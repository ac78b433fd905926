#include "acquisition/oscilloscope_mode.h"

#include <algorithm>

#include "acquisition/acquisition_context.h"
#include "acquisition/acquisition_preparation.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

int RunOscilloscope(AcquisitionContext& context, CZefraKrgDoc& doc) {
    for (;;) {
        if (doc.OscRunning.load() == 0) {
            return EndAcquisition(context, doc, doc.OscRunning, ModeStopped, true);
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
            return EndAcquisition(
                context, doc, doc.OscRunning,
                check == PrepareResult::PairGainMismatch ? ModePairGain : ModeNoChannel, false);
        }

        const uint32_t spare = doc.Spare();
        const auto channelCount = static_cast<uint32_t>(prepared.Card.ChannelCount);
        const uint32_t room = doc.SetCapacity(spare) * channelCount;
        uint32_t count = std::min(prepared.Card.TotalSamples / prepared.Card.Prescaler, room);
        context.Card.Attach(context.Address);
        if (context.Card.SendCommand(CmdScopeShot, prepared.Card, prepared.CardTrigger) != CardOk) {
            context.Frame.ShowMessageBox(SendFailedMessage());
            context.Frame.PostMessage(WM_ACQ_STATUS, StatusIdle);
            return EndAcquisition(context, doc, doc.OscRunning, ModeCardFailed, true);
        }
        const int read = context.Card.ReadShot(TargetFor(doc, spare, prepared), count,
                                               doc.OscRunning, context.Frame);
        if (read != CardOk) {
            context.Frame.ShowMessageBox(ReceiveFailedMessage());
            return EndAcquisition(context, doc, doc.OscRunning, ModeCardFailed, true);
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
