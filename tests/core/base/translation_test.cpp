#include <gtest/gtest.h>

#include "base/translation.h"

namespace kresograf {
namespace {

TEST(FillTextTest, PlaceholdersInOrderByNumberAndPercent) {
    // A translation may put the values in another order.
    EXPECT_EQ(FillText("%2$s of channel %1$s", {"3", "Markers"}), "Markers of channel 3");
    EXPECT_EQ(FillText("Wypełnienie: %s %%", {"50"}), "Wypełnienie: 50 %");
    // A placeholder without its value is left out; a lone or unknown one stays as written.
    EXPECT_EQ(FillText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FillText("100 % %d %", {}), "100 % %d %");
}

}  // namespace
}  // namespace kresograf
