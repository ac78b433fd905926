#include "acquisition/oscilloscope_mode.h"

#include "acquisition/acquisition_context.h"
#include "acquisition/acquisition_preparation.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/recording_writer.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

int RunOscilloscope(AcquisitionContext& context, CZefraKrgDoc& doc) {
    // A shot fills the spare set's arrays in memory, at their base size.
    const RoomMaker room = [&doc](const PreparedAcquisition&, uint32_t set,
                                  UserMessage& message) -> std::optional<uint32_t> {
        if (!doc.ReserveShotSet(set)) {
            message = OutOfMemoryMessage();
            return std::nullopt;
        }
        return doc.SetCapacity(set);
    };
    for (;;) {
        if (doc.OscRunning.load() == 0) {
            return EndAcquisition(context, doc, doc.OscRunning, ModeStopped, true);
        }
        StartedRun run;
        int result = 0;
        if (!StartRun(context, doc, false, room, run, result)) {
            return result;
        }
        uint32_t count = run.Count;
        const int read = context.Card.ReadShot(TargetFor(doc, run.Set, run.Prepared), count,
                                               doc.OscRunning, context.Frame);
        if (read != CardOk) {
            context.Frame.ShowMessageBox(ReceiveFailedMessage());
            return EndAcquisition(context, doc, doc.OscRunning, ModeCardFailed, true);
        }
        if (count == 0) {
            if (doc.OscRunning.load() == 0) {
                // Stopped while the card waited for its trigger: the shown set stays as it was.
                continue;
            }
            // A shot that brought no scan although nobody stopped it: never loop silently.
            context.Frame.ShowMessageBox(ReceiveFailedMessage());
            return EndAcquisition(context, doc, doc.OscRunning, ModeCardFailed, true);
        }
        CommitSet(doc, run.Set, count, run.Prepared);
        context.Frame.SendMessage(WM_DOC_UPDATE, HintNewShot);
    }
}

}  // namespace kresograf
