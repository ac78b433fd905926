#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "base/frame_link.h"

namespace kresograf {

class CZefraKrgDoc;
struct SettingsRecord;

// The main frame of the command-line program: shots and messages go to the terminal, the
// registered parameters are printed, and the oscilloscope stops after the wanted shots.
class CliFrameLink : public FrameLink {
  public:
    CliFrameLink(CZefraKrgDoc& doc, const SettingsRecord& settings, int shotsWanted)
        : doc_(doc), settings_(settings), shotsWanted_(shotsWanted) {}

    void SendMessage(uint32_t message, uint32_t wParam) override;
    void PostMessage(uint32_t message, uint32_t wParam) override;
    void ShowMessageBox(const UserMessage& message) override;
    void ShowRegisteredParams(const RegisteredParamsRequest& request) override;

    bool Failed() const { return failed_.load(); }
    uint32_t Status() const { return status_.load(); }
    // Microseconds of the steady clock when the card started streaming, 0 before.
    uint64_t StreamingSince() const { return streamingSince_.load(); }
    int Shots() const { return shots_.load(); }

    // Serialises the program's writes to the terminal.
    std::mutex Output;

  private:
    CZefraKrgDoc& doc_;
    const SettingsRecord& settings_;
    const int shotsWanted_;
    std::atomic<int> shots_{0};
    std::atomic<bool> failed_{false};
    std::atomic<uint32_t> status_{0};
    std::atomic<uint64_t> streamingSince_{0};
};

}  // namespace kresograf
