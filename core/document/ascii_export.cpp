#include "document/ascii_export.h"
#include "base/fixed_format.h"
#include "base/translation.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kresograf {
namespace {

// The table is handed to the file in pieces of about this size.
constexpr std::size_t FlushBytes = 1 << 20;
// Room one value needs at most: a 32-bit scan time times a float factor, two decimals.
constexpr std::size_t ValueRoom = 48;

UserMessage OpenFailure() {
    return UserMessage{Tr("Błąd pliku"), Tr("Błąd podczas próby otwarcia pliku do zapisu."),
                       MessageIcon::Stop};
}

UserMessage NoChosenData() {
    return UserMessage{Tr("Brak danych"), Tr("Nie wybrano danych do wyeksportowania."),
                       MessageIcon::Exclamation};
}

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

std::optional<UserMessage> ExportPrecheck(const CZefraKrgDoc& doc) {
    if (doc.SampleCount[doc.CurrentSet.load()] == 0) {
        return UserMessage{Tr("Brak danych"), Tr("Brak danych do wyeksportowania."),
                           MessageIcon::Exclamation};
    }
    return std::nullopt;
}

std::optional<UserMessage> ExportTargetCheck(const std::string& path) {
    ReplacingFile probe(path);
    if (probe.Open() != 0) {
        return OpenFailure();
    }
    return std::nullopt;
}

FileResult WriteAscii(const CZefraKrgDoc& doc, ByteSink& sink, bool writeTime,
                      const std::array<bool, 8>& channels) {
    if (auto message = ExportPrecheck(doc)) {
        return FileResult{FileNoData, std::move(message)};
    }
    const uint32_t set = doc.CurrentSet.load();
    const uint32_t count = doc.SampleCount[set];
    std::vector<SampleColumn> chosen;
    for (uint32_t c = 0; c < 8; ++c) {
        if (channels[c] && doc.ChannelPresent[set][c] != 0) {
            chosen.push_back(doc.Column(set, c));
        }
    }
    if (chosen.empty()) {
        return FileResult{FileNoChannels, NoChosenData()};
    }
    // The time column describes the data shown, so it follows the registered block whichever set
    // is current. A stored conversion stands for Prescaler converted ones: the scans of a
    // prescaled run lie Divisor x Prescaler / 8 000 000 s apart, as the plot's time axis shows.
    const AcquisitionParams registered = doc.RegisteredParams();
    // The factor is held in single precision, the product taken in double: prescaler-1 files
    // stay byte for byte what every earlier export wrote.
    const float msPerTick =
        static_cast<float>(static_cast<double>(registered.Divisor) * registered.Prescaler / 8000.0);
    const ScanTimes times = doc.Times(set);

    const std::size_t lineRoom = (chosen.size() + 1) * ValueRoom + 2;
    std::vector<char> buffer(std::min<std::size_t>(FlushBytes, count * lineRoom) + lineRoom);
    char* const begin = buffer.data();
    char* const limit = begin + (buffer.size() - lineRoom);
    char* const end = begin + buffer.size();
    char* out = begin;
    for (uint32_t i = 0; i < count; ++i) {
        if (writeTime) {
            out = FormatFixed(out, end, times[i] * static_cast<double>(msPerTick), 2);
            *out++ = '\t';
        }
        for (const SampleColumn& samples : chosen) {
            out = FormatVolts(out, samples[i]);
            *out++ = '\t';
        }
        *out++ = '\r';
        *out++ = '\n';
        if (out >= limit) {
            if (!sink.Write(begin, static_cast<std::size_t>(out - begin))) {
                return WriteFailure(sink.Error());
            }
            out = begin;
        }
    }
    if (out != begin && !sink.Write(begin, static_cast<std::size_t>(out - begin))) {
        return WriteFailure(sink.Error());
    }
    // A file that went away under the document gave zeros, not its data.
    if (auto lost = doc.CheckSamples()) {
        return FileResult{FileReadError, std::move(lost)};
    }
    return {};
}

FileResult ExportAscii(const CZefraKrgDoc& doc, const std::string& path, bool writeTime,
                       const std::array<bool, 8>& channels, const WriteFault& fault) {
    // Nothing to write means no file is made at all.
    if (auto message = ExportPrecheck(doc)) {
        return FileResult{FileNoData, std::move(message)};
    }
    bool any = false;
    for (uint32_t c = 0; c < 8; ++c) {
        any = any || (channels[c] && doc.ChannelPresent[doc.CurrentSet.load()][c] != 0);
    }
    if (!any) {
        return FileResult{FileNoChannels, NoChosenData()};
    }
    ReplacingFile file(path, fault);
    if (file.Open() != 0) {
        return FileResult{FileOpenError, OpenFailure()};
    }
    FileResult result = WriteAscii(doc, file, writeTime, channels);
    if (!result.Ok()) {
        return result;
    }
    if (const int error = file.Commit(); error != 0) {
        return WriteFailure(error);
    }
    return {};
}

}  // namespace kresograf
