#pragma once

#include <cstdint>
#include <string_view>

#include "base/acquisition_params.h"
#include "base/user_message.h"

namespace kresograf {

// Messages from an acquisition to the main frame.
inline constexpr uint32_t WM_DOC_UPDATE = 1025;
inline constexpr uint32_t WM_ACQ_ENDED = 1026;
inline constexpr uint32_t WM_ACQ_STATUS = 1027;

// View update hints carried by WM_DOC_UPDATE and by the main frame's own updates.
inline constexpr uint32_t HintInitial = 0;
inline constexpr uint32_t HintReset = 1;
inline constexpr uint32_t HintNewShot = 2;
inline constexpr uint32_t HintRecordingDone = 3;
inline constexpr uint32_t HintColorsChanged = 0x80000000;

// Status codes of WM_ACQ_STATUS.
inline constexpr uint32_t StatusIdle = 0;
inline constexpr uint32_t StatusTriggering = 1;
inline constexpr uint32_t StatusTransferring = 2;
inline constexpr uint32_t StatusRecording = 3;
inline constexpr uint32_t StatusAcquiring = 4;
inline constexpr uint32_t StatusNoChannel = 5;

// The status line's text for a code; any unknown code gives the empty text.
std::string_view StatusText(uint32_t code);

// What the registered-parameters dialog is opened with.
struct RegisteredParamsRequest {
    uint32_t Scans = 0;
    uint32_t OtherScans = 0;
    AcquisitionParams Params;
    TriggerParams Trigger;
};

// The main frame as an acquisition worker sees it. Sent messages and the two modal requests
// return only when the main frame has handled them; posted messages return at once.
class FrameLink {
  public:
    virtual ~FrameLink() = default;
    virtual void SendMessage(uint32_t message, uint32_t wParam) = 0;
    virtual void PostMessage(uint32_t message, uint32_t wParam) = 0;
    virtual void ShowMessageBox(const UserMessage& message) = 0;
    virtual void ShowRegisteredParams(const RegisteredParamsRequest& request) = 0;
};

}  // namespace kresograf
