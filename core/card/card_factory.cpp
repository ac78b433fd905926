#include "card/card_factory.h"

#include "base/settings_record.h"
#include "card/direct_port_io.h"
#include "card/simulated_card.h"

namespace kresograf {

std::unique_ptr<PortIo> OpenCardIo(CardKind kind, const SettingsRecord& settings, Clock& clock,
                                   UserMessage& error) {
    if (kind == CardKind::Ports) {
        return DirectPortIo::Open(settings.PortAddress, error);
    }
    auto card = std::make_unique<SimulatedCard>(clock, settings.PortAddress);
    for (int input = 0; input < 8; ++input) {
        card->SetInputGain(input, settings.HighGain(input));
    }
    return card;
}

}  // namespace kresograf
