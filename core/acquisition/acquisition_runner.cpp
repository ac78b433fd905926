#include "acquisition/acquisition_runner.h"

#include "acquisition/acquisition_context.h"
#include "acquisition/oscilloscope_mode.h"
#include "acquisition/recording_mode.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

AcquisitionRunner::AcquisitionRunner(SettingsRecord& settings, CardPort& card, FrameLink& frame)
    : settings_(settings), card_(card), frame_(frame) {}

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
    worker_ = std::thread([this, &doc, recording, address] { Run(doc, recording, address); });
    return true;
}

void AcquisitionRunner::Run(CZefraKrgDoc& doc, bool recording, uint32_t address) {
    AcquisitionContext context{settings_, card_, frame_, address};
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
    if (worker_.joinable()) {
        worker_.join();
    }
}

}  // namespace kresograf
