#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/acquisition_params.h"
#include "card/card_factory.h"

namespace kresograf {

struct SettingsRecord;

// Which card a program talks to: the built-in simulated card or a real one at an I/O address.
struct CardChoice {
    CardKind Kind = CardKind::Simulated;
    std::optional<uint32_t> Address;
};

// The acquisition as asked for on a command line. Options may come in any order; Finish turns
// them into a working block the way the acquisition-parameters window would store it.
class AcquisitionOptions {
  public:
    // Takes the option `name` (with its leading dashes) and its value. Returns false with a
    // Polish message when the option is unknown or its value is wrong.
    bool Take(std::string_view name, std::string_view value, std::string& error);
    // True for the options that take a value (all of them but --differential).
    static bool IsAcquisitionOption(std::string_view name);
    static bool TakesValue(std::string_view name);

    // Builds the block, its trigger and the input gains; false with a message when they do not
    // fit together (a channel outside the mode's range, a trigger channel outside the inputs).
    bool Finish(AcquisitionParams& params, TriggerParams& trigger, SettingsRecord& settings,
                std::string& error) const;

    CardChoice Card;

  private:
    std::size_t rateRow_ = 26;
    float duration_ = 1.0f;
    std::string channels_ = "1";
    bool differential_ = false;
    std::array<std::optional<bool>, 8> highGain_{};
    int8_t edge_ = EdgeAutomatic;
    int8_t type_ = TriggerAnalog;
    int triggerChannel_ = 1;
    float threshold_ = 0.0f;
};

// The command-line card choice on its own, shared with the desktop program.
bool ParseCardKind(std::string_view value, CardKind& kind, std::string& error);
bool ParseCardAddress(std::string_view value, uint32_t& address, std::string& error);

// A rate of the table as written on a command line: "95000" … "50", or "1/1" … "1/30".
std::optional<std::size_t> ParseRate(std::string_view text);

}  // namespace kresograf
