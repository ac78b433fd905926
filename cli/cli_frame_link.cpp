#include "cli_frame_link.h"

#include <chrono>
#include <cstdio>

#include "document/registered_params.h"
#include "document/shot_summary.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

void CliFrameLink::SendMessage(uint32_t message, uint32_t wParam) {
    if (message == WM_DOC_UPDATE && wParam == HintNewShot) {
        const int shot = ++shots_;
        {
            std::lock_guard lock(Output);
            std::printf("%s\n", ShotSummaryLine(shot, doc_, settings_).c_str());
            std::fflush(stdout);
        }
        if (shotsWanted_ > 0 && shot >= shotsWanted_) {
            doc_.OscRunning = 0;
        }
    } else if (message == WM_ACQ_STATUS) {
        PostMessage(message, wParam);
    }
}

void CliFrameLink::PostMessage(uint32_t message, uint32_t wParam) {
    if (message != WM_ACQ_STATUS) {
        return;
    }
    status_ = wParam;
    if (wParam == StatusRecording && streamingSince_.load() == 0) {
        using namespace std::chrono;
        streamingSince_ = static_cast<uint64_t>(
            duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
    }
}

void CliFrameLink::ShowMessageBox(const UserMessage& message) {
    failed_ = true;
    std::lock_guard lock(Output);
    std::fprintf(stderr, "\n%s: %s\n", message.Title.c_str(), message.Text.c_str());
}

void CliFrameLink::ShowRegisteredParams(const RegisteredParamsRequest& request) {
    const auto lines = RegisteredParamsTexts(request.Scans, request.Params, request.Trigger);
    std::lock_guard lock(Output);
    std::fprintf(stderr, "\n");
    for (const auto& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    std::fflush(stdout);
}

}  // namespace kresograf
