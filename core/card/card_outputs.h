#pragma once

#include <cstdint>

#include "base/output_request.h"
#include "base/user_message.h"

namespace kresograf {

class CardPort;

// Which of this program's outputs drives the card's analog output.
enum class AnalogOutput { None, Generator, Formula, File };

// The card's outputs as this program drives them: each start sends its whole frame (binding the
// link to the address and resetting the card the first time it is used there) and replaces what
// played on that output; the stop returns the analog output to 0 V and the digital outputs to
// rest, both at once as the card does. Acquisitions never touch them. Used by one caller at a
// time, never while an acquisition runs: the card link carries one exchange at a time.
class CardOutputs {
  public:
    explicit CardOutputs(CardPort& card) : card_(card) {}

    // Each returns 0 when the card took the whole frame; otherwise what played before is
    // unknown to the card and the record stays as it was. `source` says which dialog started an
    // analog output.
    int PlayAnalog(uint32_t address, const OutputRequest& request, AnalogOutput source);
    int PlayDigital(uint32_t address, const OutputRequest& request);
    int PlayFormula(uint32_t address, const FormulaRequest& request);
    int Stop(uint32_t address);

    AnalogOutput Analog() const { return analog_; }
    bool DigitalPlaying() const { return digital_; }

  private:
    CardPort& card_;
    AnalogOutput analog_ = AnalogOutput::None;
    bool digital_ = false;
};

// What the user is told when the card did not take an output's frame.
UserMessage OutputFailedMessage();

}  // namespace kresograf
