#include "acquisition/acquisition_runner.h"

#include "acquisition/acquisition_context.h"
#include "acquisition/oscilloscope_mode.h"
#include "acquisition/recording_mode.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/recording_writer.h"
#include "document/recordings_folder.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

AcquisitionRunner::AcquisitionRunner(SettingsRecord& settings, CardPort& card, FrameLink& frame)
    : settings_(settings), card_(card), frame_(frame) {
    place_.Folder = DefaultRecordingsFolder();
}

void AcquisitionRunner::SetRecordingPlace(RecordingPlace place) {
    place_ = std::move(place);
}

AcquisitionRunner::~AcquisitionRunner() {
    RequestStop();
    Join();
}

bool AcquisitionRunner::ToggleOscilloscope(CZefraKrgDoc& doc) {
    return Start(doc, false);
}

bool AcquisitionRunner::ToggleRecording(CZefraKrgDoc& doc) {
    return Start(doc, true);
}

bool AcquisitionRunner::Start(CZefraKrgDoc& doc, bool recording) {
    std::atomic<uint32_t>& flag = recording ? doc.RecRunning : doc.OscRunning;
    if (flag.load() != 0) {
        flag = 0;
        return true;
    }
    if (settings_.AcquiringDocId.load() != 0) {
        return false;
    }
    // A worker that released the token has sent its last message; it only has to return.
    Join();
    settings_.AcquiringDocId = doc.DocId;
    flag = 1;
    {
        std::lock_guard lock(doc.ParamsMutex);
        doc.Params[0].Running = 1;
    }
    running_ = &doc;
    busy_ = true;
    const uint32_t address = settings_.PortAddress;
    if (!worker_.Start([this, &doc, recording, address,
                        place = place_] { Run(doc, recording, address, place); },
                       WorkerStackBytes)) {
        // No thread to be had (no memory, too many threads): the user is told, nothing runs.
        running_ = nullptr;
        busy_ = false;
        flag = 0;
        doc.ClearWorkingRunning();
        settings_.AcquiringDocId = 0;
        frame_.ShowMessageBox(OutOfMemoryMessage());
        return false;
    }
    return true;
}

void AcquisitionRunner::Run(CZefraKrgDoc& doc, bool recording, uint32_t address,
                            const RecordingPlace& place) {
    AcquisitionContext context{settings_, card_, frame_, address, place};
    if (recording) {
        RunRecording(context, doc);
    } else {
        RunOscilloscope(context, doc);
    }
    running_ = nullptr;
    busy_ = false;
}

void AcquisitionRunner::RequestStop() {
    if (CZefraKrgDoc* doc = running_.load()) {
        doc->OscRunning = 0;
        doc->RecRunning = 0;
    }
}

void AcquisitionRunner::Join() {
    worker_.Join();
}

}  // namespace kresograf
