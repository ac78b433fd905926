#include "document/csv_export.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace kresograf {
namespace {

__extension__ typedef unsigned __int128 Unsigned128;

// The table is handed to the file in pieces of about this size.
constexpr std::size_t FlushBytes = 1 << 20;
// Room of one value at most: a 32-bit sample's exact volts (with the 16 bytes its decimals are
// copied in), or a time in ms.
constexpr std::size_t VoltsRoom = 24;
constexpr std::size_t TimeRoom = 48;

constexpr std::array<uint64_t, 13> PowersOf5 = [] {
    std::array<uint64_t, 13> powers{};
    uint64_t p = 1;
    for (uint64_t& power : powers) {
        power = p;
        p *= 5;
    }
    return powers;
}();

// The first `width` decimals of value / 10^width, trailing zeros dropped but one digit kept.
char* Decimals(char* out, uint64_t value, int width) {
    while (width > 1 && value % 10 == 0) {
        value /= 10;
        --width;
    }
    for (int k = width - 1; k >= 0; --k) {
        out[k] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

}  // namespace

char* FormatExactVolts(char* out, int32_t sample) {
    // The decimals of the 4096 possible fractions, worked out once: ".5", ".000244140625", …
    struct Fraction {
        char Text[15];
        uint8_t Size;
    };
    static const std::array<Fraction, 4096> Fractions = [] {
        std::array<Fraction, 4096> table{};
        for (uint32_t fraction = 0; fraction < 4096; ++fraction) {
            Fraction& f = table[fraction];
            f.Text[0] = '.';
            if (fraction == 0) {
                f.Text[1] = '0';
                f.Size = 2;
                continue;
            }
            // fraction / 4096 with its factors of two taken out is odd / 2^d, which is exactly
            // odd x 5^d / 10^d: d decimals, the last one not zero.
            const int twos = std::countr_zero(fraction);
            const int decimals = 12 - twos;
            const char* end =
                Decimals(f.Text + 1,
                         uint64_t{fraction >> twos} * PowersOf5[static_cast<std::size_t>(decimals)],
                         decimals);
            f.Size = static_cast<uint8_t>(end - f.Text);
        }
        return table;
    }();
    const uint32_t magnitude =
        sample < 0 ? 0u - static_cast<uint32_t>(sample) : static_cast<uint32_t>(sample);
    if (sample < 0) {
        *out++ = '-';
    }
    const uint32_t whole = magnitude >> 12;
    if (whole < 10) {
        *out++ = static_cast<char>('0' + whole);
    } else {
        out = std::to_chars(out, out + 10, whole).ptr;
    }
    const Fraction& fraction = Fractions[magnitude & 4095];
    std::memcpy(out, fraction.Text, sizeof fraction);
    return out + fraction.Size;
}

char* FormatExactMilliseconds(char* out, ClockPeriods periods) {
    if (periods < 0) {
        *out++ = '-';
    }
    const Unsigned128 magnitude = periods < 0 ? Unsigned128{0} - static_cast<Unsigned128>(periods)
                                              : static_cast<Unsigned128>(periods);
    // A clock period is 1/8000 ms = 0.000125 ms: six decimals hold every time exactly.
    uint32_t fraction = 0;
    if ((magnitude >> 64) == 0) {
        const auto small = static_cast<uint64_t>(magnitude);
        out = std::to_chars(out, out + 20, small / 8000).ptr;
        fraction = static_cast<uint32_t>(small % 8000) * 125;
    } else {
        Unsigned128 whole = magnitude / 8000;
        fraction = static_cast<uint32_t>(magnitude % 8000) * 125;
        char digits[40];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + static_cast<int>(whole % 10));
            whole /= 10;
        } while (whole != 0);
        while (n > 0) {
            *out++ = digits[--n];
        }
    }
    *out++ = '.';
    return Decimals(out, fraction, 6);
}

FileResult WriteCsv(const ExportTable& table, ByteSink& sink, bool writeTime,
                    const ExportProgress& progress) {
    // Column names are part of the file, the same in every language.
    std::string header = writeTime ? "czas [ms]" : "";
    for (const uint32_t input : table.Inputs()) {
        if (!header.empty()) {
            header += ',';
        }
        header += "kanał " + std::to_string(input + 1) + " [V]";
    }
    header += '\n';
    if (!sink.Write(header.data(), header.size())) {
        return WriteFailure(sink.Error());
    }

    const std::size_t columns = table.Columns();
    const std::size_t lineRoom = columns * (VoltsRoom + 1) + TimeRoom + 2;
    const auto blockScans = static_cast<uint32_t>(std::max<std::size_t>(1, FlushBytes / lineRoom));
    std::vector<char> buffer(std::min<std::size_t>(blockScans, table.Scans()) * lineRoom);
    return table.Walk(blockScans, progress, [&](const ExportBlock& block) -> FileResult {
        char* const begin = buffer.data();
        char* out = begin;
        const int32_t* samples = block.Samples;
        for (uint32_t i = 0; i < block.Count; ++i) {
            char* const row = out;
            if (writeTime) {
                out = FormatExactMilliseconds(out, table.PeriodsOf(block.Ticks[i]));
                *out++ = ',';
            }
            for (std::size_t k = 0; k < columns; ++k) {
                out = FormatExactVolts(out, *samples++);
                *out++ = ',';
            }
            // The row's last separator becomes its end.
            if (out != row) {
                --out;
            }
            *out++ = '\n';
        }
        if (!sink.Write(begin, static_cast<std::size_t>(out - begin))) {
            return WriteFailure(sink.Error());
        }
        return {};
    });
}

}  // namespace kresograf
