#include "base/rate_table.h"

#include "base/acquisition_params.h"

namespace kresograf {
namespace {

constexpr RateEntry PlainRow(uint32_t frequency) {
    return RateEntry{frequency, (CardClockHz + frequency / 2) / frequency, 1};
}

constexpr std::array<RateEntry, RateCount + 1> BuildTable() {
    std::array<RateEntry, RateCount + 1> rows{};
    std::size_t i = 0;
    for (uint32_t f = 95'000; f >= 5'000; f -= 5'000) {
        rows[i++] = PlainRow(f);
    }
    for (uint32_t f = 4'500; f >= 1'000; f -= 500) {
        rows[i++] = PlainRow(f);
    }
    for (uint32_t f = 950; f >= 50; f -= 50) {
        rows[i++] = PlainRow(f);
    }
    for (uint32_t prescaler : {50u, 100u, 150u, 200u, 500u, 1500u}) {
        rows[i++] = RateEntry{50, 160'000, prescaler};
    }
    rows[i] = RateEntry{0, 0, 0};
    return rows;
}

constexpr std::array<RateEntry, RateCount + 1> Table = BuildTable();

static_assert(Table[0].Divisor == 84);
static_assert(Table[18].Frequency == 5'000 && Table[18].Divisor == 1'600);
static_assert(Table[26].Frequency == 1'000 && Table[26].Divisor == 8'000);
static_assert(Table[45].Frequency == 50 && Table[45].Divisor == 160'000);
static_assert(Table[51].Prescaler == 1'500 && Table[52].Divisor == 0);

}  // namespace

const std::array<RateEntry, RateCount + 1>& RateTable() {
    return Table;
}

int FindRateRow(uint32_t divisor, uint32_t prescaler) {
    for (std::size_t i = 0; i < RateCount; ++i) {
        if (Table[i].Divisor == divisor && Table[i].Prescaler == prescaler) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string RateLabel(const RateEntry& row) {
    if (row.Prescaler == 1) {
        return std::to_string(row.Frequency) + " Hz";
    }
    const uint32_t period = row.Frequency == 0 ? 0 : row.Prescaler / row.Frequency;
    return "1 / " + std::to_string(period) + " Hz";
}

}  // namespace kresograf
