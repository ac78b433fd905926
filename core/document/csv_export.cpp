#include "document/csv_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace kresograf {
namespace {

__extension__ typedef unsigned __int128 Unsigned128;

// The table is handed to the file in pieces of about this size.
constexpr std::size_t FlushBytes = 1 << 20;
// Room of one value at most: a 32-bit sample's volts, or a time in ms.
constexpr std::size_t VoltsRoom = 24;
constexpr std::size_t TimeRoom = 48;

// Six decimals of value / 10^6, leading zeros written.
char* SixDecimals(char* out, uint32_t value) {
    for (int k = 5; k >= 0; --k) {
        out[k] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + 6;
}

}  // namespace

char* FormatCsvVolts(char* out, int32_t sample) {
    // Four decimals of each of the 4096 fractions, worked out once: f / 4096 V is f x 625 / 256
    // ten-thousandths exactly, rounded as printf rounds. The largest, 4095 / 4096, gives .9998,
    // so none carries into the whole volts.
    static const std::array<std::array<char, 5>, 4096> Fractions = [] {
        std::array<std::array<char, 5>, 4096> table{};
        for (uint32_t f = 0; f < 4096; ++f) {
            uint32_t digits = f * 625 >> 8;
            const uint32_t remainder = f * 625 & 255;
            if (remainder > 128 || (remainder == 128 && (digits & 1) != 0)) {
                ++digits;
            }
            table[f][0] = '.';
            for (int k = 4; k >= 1; --k) {
                table[f][k] = static_cast<char>('0' + digits % 10);
                digits /= 10;
            }
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
    std::memcpy(out, Fractions[magnitude & 4095].data(), 5);
    return out + 5;
}

char* FormatMilliseconds(char* out, ClockPeriods periods) {
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
    return SixDecimals(out, fraction);
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
                out = FormatMilliseconds(out, table.PeriodsOf(block.Ticks[i]));
                *out++ = ',';
            }
            for (std::size_t k = 0; k < columns; ++k) {
                out = FormatCsvVolts(out, *samples++);
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
