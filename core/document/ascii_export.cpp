#include "document/ascii_export.h"
#include "base/fixed_format.h"
#include "base/translation.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "document/data_export.h"

namespace kresograf {
namespace {

// The table is handed to the file in pieces of about this size.
constexpr std::size_t FlushBytes = 1 << 20;
// Room one value needs at most: a 32-bit scan time times a float factor, two decimals.
constexpr std::size_t ValueRoom = 48;

}  // namespace

char* FormatVolts(char* out, int32_t sample) {
    // sample / 4096 V in thousandths is sample x 125 / 512 exactly; the remainder decides the
    // rounding as printf does it on the exact binary value.
    const uint64_t magnitude =
        sample < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(sample))
                   : static_cast<uint64_t>(sample);
    const uint64_t scaled = magnitude * 125;
    uint64_t thousandths = scaled >> 9;
    const uint64_t remainder = scaled & 511;
    if (remainder > 256 || (remainder == 256 && (thousandths & 1) != 0)) {
        ++thousandths;
    }
    if (sample < 0) {
        *out++ = '-';
    }
    out = std::to_chars(out, out + 12, thousandths / 1000).ptr;
    const auto fraction = static_cast<unsigned>(thousandths % 1000);
    out[0] = '.';
    out[1] = static_cast<char>('0' + fraction / 100);
    out[2] = static_cast<char>('0' + fraction / 10 % 10);
    out[3] = static_cast<char>('0' + fraction % 10);
    return out + 4;
}

std::vector<ExportRow> ExportRows(const std::array<uint32_t, 8>& present) {
    std::vector<ExportRow> rows;
    for (uint32_t c = 0; c < 8; ++c) {
        if (present[c] != 0) {
            rows.push_back(ExportRow{FillText(Tr("Kanał %s"), {std::to_string(c + 1)}), c});
        }
    }
    return rows;
}

FileResult WriteAscii(const ExportTable& table, ByteSink& sink, bool writeTime,
                      const ExportProgress& progress) {
    // The time column describes the data shown, so it follows the registered block whichever set
    // is current. A stored conversion stands for Prescaler converted ones: the scans of a
    // prescaled run lie Divisor x Prescaler / 8 000 000 s apart, as the plot's time axis shows.
    // The factor is held in single precision, the product taken in double: prescaler-1 files
    // stay byte for byte what every earlier export wrote.
    const float msPerTick = static_cast<float>(static_cast<double>(table.Registered().Divisor) *
                                               table.Registered().Prescaler / 8000.0);
    const std::size_t columns = table.Columns();
    const std::size_t lineRoom = (columns + 1) * ValueRoom + 2;
    const auto blockScans = static_cast<uint32_t>(std::max<std::size_t>(1, FlushBytes / lineRoom));
    std::vector<char> buffer(std::min<std::size_t>(blockScans, table.Scans()) * lineRoom);
    return table.Walk(blockScans, progress, [&](const ExportBlock& block) -> FileResult {
        char* const begin = buffer.data();
        char* const end = begin + buffer.size();
        char* out = begin;
        const int32_t* samples = block.Samples;
        for (uint32_t i = 0; i < block.Count; ++i) {
            if (writeTime) {
                out = FormatFixed(out, end, block.Ticks[i] * static_cast<double>(msPerTick), 2);
                *out++ = '\t';
            }
            for (std::size_t k = 0; k < columns; ++k) {
                out = FormatVolts(out, *samples++);
                *out++ = '\t';
            }
            *out++ = '\r';
            *out++ = '\n';
        }
        if (!sink.Write(begin, static_cast<std::size_t>(out - begin))) {
            return WriteFailure(sink.Error());
        }
        return {};
    });
}

FileResult WriteAscii(const CZefraKrgDoc& doc, ByteSink& sink, bool writeTime,
                      const std::array<bool, 8>& channels) {
    if (auto refusal = ExportRefusal(doc, channels)) {
        return *refusal;
    }
    return WriteAscii(ExportTable(doc, channels), sink, writeTime);
}

FileResult ExportAscii(const CZefraKrgDoc& doc, const std::string& path, bool writeTime,
                       const std::array<bool, 8>& channels, const WriteFault& fault) {
    return ExportData(doc, path, ExportRequest{ExportFormat::Text, writeTime, channels, {}}, {},
                      fault);
}

}  // namespace kresograf
