#include "base/rate_table.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kresograf {
namespace {

TEST(RateTableTest, RowsDivisorsAndLabels) {
    const auto& t = RateTable();
    // 8 MHz / 90 000 Hz = 88.89 rounds up, / 4 500 Hz = 1777.78 too (the first row's 84.21
    // rounds down: a compile-time check of the table).
    EXPECT_EQ(std::tie(t[1].Divisor, t[19].Divisor), std::tuple(89u, 1'778u));
    EXPECT_EQ(RateLabel(t[26]), "1000 Hz");
    EXPECT_EQ(RateLabel(t[0]), "95000 Hz");
    const char* slow[] = {"1 / 1 Hz", "1 / 2 Hz", "1 / 3 Hz", "1 / 4 Hz", "1 / 10 Hz", "1 / 30 Hz"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(RateLabel(t[46 + i]), slow[i]);
    }
    EXPECT_EQ(std::tie(t[52].Frequency, t[52].Prescaler), std::tuple(0u, 0u));
    EXPECT_EQ(FindRateRow(8000, 1), 26);
    EXPECT_EQ(FindRateRow(160'000, 500), 50);
    EXPECT_EQ(FindRateRow(160'000, 7), -1);
    EXPECT_EQ(FindRateRow(0, 0), -1);  // the terminating row is not a rate
}

}  // namespace
}  // namespace kresograf
