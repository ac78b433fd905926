#include "card/card_outputs.h"

#include <gtest/gtest.h>

#include <tuple>

#include "card/card_port.h"
#include "card/direct_port_io.h"
#include "card/manual_clock.h"
#include "card/simulated_card.h"

namespace kresograf {
namespace {

TEST(CardOutputsTest, StartsReplaceStopEndsBoth) {
    ManualClock clock(0, 10);  // reads move time on, so time-outs end
    SimulatedCard card(clock);
    CardPort port(card, clock);
    CardOutputs outputs(port);

    const float volts[] = {2.5f};
    ASSERT_EQ(outputs.PlayAnalog(0x100, {100, 1, volts, nullptr}, AnalogOutput::Generator), 0);
    EXPECT_EQ(card.AnalogOutputVolts(), 1024 * 5.0 / 2048);
    const uint8_t bytes[] = {0x5A};
    ASSERT_EQ(outputs.PlayDigital(0x100, {100, 1, nullptr, bytes}), 0);
    // The card was reset once, before the first output: the analog output still plays.
    EXPECT_EQ(std::tuple(card.AnalogOutputVolts(), card.DigitalOutputs(), outputs.Analog(),
                         outputs.DigitalPlaying()),
              std::tuple(1024 * 5.0 / 2048, 0x5A, AnalogOutput::Generator, true));

    ASSERT_EQ(outputs.Stop(0x100), 0);
    EXPECT_EQ(std::tuple(card.AnalogOutputVolts(), card.DigitalOutputs(), outputs.Analog(),
                         outputs.DigitalPlaying()),
              std::tuple(0.0, 0, AnalogOutput::None, false));

    // A card that does not answer: the start fails and nothing is recorded as playing.
    ASSERT_EQ(outputs.PlayAnalog(0x100, {100, 1, volts, nullptr}, AnalogOutput::File), 0);
    card.SetFault(SimulatedFault::Dead);
    EXPECT_EQ(outputs.PlayDigital(0x100, {100, 1, nullptr, bytes}), CardTimeout);
    EXPECT_EQ(outputs.Stop(0x100), CardTimeout);
    EXPECT_EQ(outputs.Analog(), AnalogOutput::File);
}

TEST(DirectPortIoTest, RefusalMessages) {
    EXPECT_EQ(PortAccessDeniedMessage(0x300),
              (UserMessage{"Błąd dostępu do karty",
                           "Nie można uzyskać dostępu do portów karty QB730 pod adresem 0x300. "
                           "Uruchom program jako root lub nadaj mu uprawnienie CAP_SYS_RAWIO (np. "
                           "setcap cap_sys_rawio+ep).",
                           MessageIcon::Stop}));
    EXPECT_EQ(PortIoUnsupportedMessage().Title, "Błąd dostępu do karty");

    // A window reaching past the last port can never be granted, whoever runs the program.
    UserMessage error;
    EXPECT_EQ(DirectPortIo::Open(0xFFF8, error), nullptr);
    EXPECT_EQ(error.Title, "Błąd dostępu do karty");
    EXPECT_NE(error.Text.find("QB730"), std::string::npos);

    // Opened at one listed address, every other listed window stays reachable; beyond the list
    // only the opened window is.
    EXPECT_TRUE(DirectPortIo::Granted(0x100, 0x000));
    EXPECT_TRUE(DirectPortIo::Granted(0x100, 0x3FF + 9));
    EXPECT_FALSE(DirectPortIo::Granted(0x100, 0x3FF + 10));
    EXPECT_TRUE(DirectPortIo::Granted(0x5000, 0x5009));
    EXPECT_FALSE(DirectPortIo::Granted(0x5000, 0x500A));
    EXPECT_FALSE(DirectPortIo::Granted(0x5000, 0x4FFF));
}

}  // namespace
}  // namespace kresograf
