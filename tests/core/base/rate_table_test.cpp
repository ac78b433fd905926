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
    // The slow rows between the first and the last take the same branch with the table's values.
    EXPECT_EQ(std::tuple(RateLabel(t[0]), RateLabel(t[46]), RateLabel(t[51])),
              std::tuple("95000 Hz", "1 / 1 Hz", "1 / 30 Hz"));
    EXPECT_EQ(std::tie(t[52].Frequency, t[52].Prescaler), std::tuple(0u, 0u));
    EXPECT_EQ(FindRateRow(8000, 1), 26);
    EXPECT_EQ(FindRateRow(160'000, 500), 50);
    EXPECT_EQ(FindRateRow(160'000, 7), -1);
    EXPECT_EQ(FindRateRow(0, 0), -1);  // the terminating row is not a rate
}

}  // namespace
}  // namespace kresograf
