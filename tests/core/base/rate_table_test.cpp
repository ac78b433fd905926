#include "base/rate_table.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

TEST(RateTableTest, RowsDivisorsAndLabels) {
    const auto& t = RateTable();
    EXPECT_EQ(t[0].Frequency, 95'000u);
    EXPECT_EQ(t[0].Divisor, 84u);      // 84.21 rounds down
    EXPECT_EQ(t[1].Divisor, 89u);      // 88.89 rounds up
    EXPECT_EQ(t[19].Divisor, 1'778u);  // 4 500 Hz
    EXPECT_EQ(RateLabel(t[26]), "1000 Hz");
    EXPECT_EQ(RateLabel(t[0]), "95000 Hz");
    const char* slow[] = {"1 / 1 Hz", "1 / 2 Hz", "1 / 3 Hz", "1 / 4 Hz", "1 / 10 Hz", "1 / 30 Hz"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(t[46 + i].Divisor, 160'000u);
        EXPECT_EQ(RateLabel(t[46 + i]), slow[i]);
    }
    EXPECT_EQ(t[52].Frequency, 0u);
    EXPECT_EQ(t[52].Prescaler, 0u);
    EXPECT_EQ(FindRateRow(8000, 1), 26);
    EXPECT_EQ(FindRateRow(160'000, 500), 50);
    EXPECT_EQ(FindRateRow(160'000, 7), -1);
    EXPECT_EQ(FindRateRow(0, 0), -1);  // the terminating row is not a rate
}

}  // namespace
}  // namespace kresograf
