#include "card/direct_port_io.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

TEST(DirectPortIoTest, RefusalMessages) {
    const UserMessage denied = PortAccessDeniedMessage(0x300);
    EXPECT_EQ(denied.Title, "Błąd dostępu do karty");
    EXPECT_EQ(denied.Text,
              "Nie można uzyskać dostępu do portów karty QB730 pod adresem 0x300. Uruchom program "
              "jako root lub nadaj mu uprawnienie CAP_SYS_RAWIO (np. setcap cap_sys_rawio+ep).");
    EXPECT_EQ(denied.Icon, MessageIcon::Stop);
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
