#include "document/ascii_export.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace kresograf {
namespace {

// The table is handed to the file in pieces of about this size.
constexpr std::size_t FlushBytes = 1 << 20;
// Room one value needs at most: a 32-bit scan time times a float factor, two decimals.
constexpr std::size_t ValueRoom = 48;

constexpr double VoltsPerUnit = 1.0 / 4096.0;

UserMessage NoChosenData() {
    return UserMessage{"Brak danych", "Nie wybrano danych do wyeksportowania.",
                       MessageIcon::Exclamation};
}

}  // namespace

char* FormatFixed(char* out, char* end, double value, int precision) {
    // to_chars does not look at the locale, and its fixed form is printf's in the C locale.
    return std::to_chars(out, end, value, std::chars_format::fixed, precision).ptr;
}

std::vector<ExportRow> ExportRows(const std::array<uint32_t, 8>& present) {
    std::vector<ExportRow> rows;
    for (uint32_t c = 0; c < 8; ++c) {
        if (present[c] != 0) {
            rows.push_back(ExportRow{"Kanał " + std::to_string(c + 1), c});
        }
    }
    return rows;
}

std::optional<UserMessage> ExportPrecheck(const CZefraKrgDoc& doc) {
    if (doc.SampleCount[doc.CurrentSet.load()] == 0) {
        return UserMessage{"Brak danych", "Brak danych do wyeksportowania.",
                           MessageIcon::Exclamation};
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
    std::vector<const int32_t*> chosen;
    for (uint32_t c = 0; c < 8; ++c) {
        if (channels[c] && doc.ChannelPresent[set][c] != 0) {
            chosen.push_back(doc.Samples[set][c].Data());
        }
    }
    if (chosen.empty()) {
        return FileResult{FileNoChannels, NoChosenData()};
    }
    // The time column describes the data shown, so it follows the registered block whichever set
    // is current. The factor is held in single precision, the product taken in double.
    const float msPerTick = static_cast<float>(doc.RegisteredParams().Divisor / 8000.0);
    const int32_t* times = doc.ScanTime[set].Data();

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
        for (const int32_t* samples : chosen) {
            out = FormatFixed(out, end, samples[i] * VoltsPerUnit, 3);
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
        return FileResult{FileOpenError,
                          UserMessage{"Błąd pliku", "Błąd podczas próby otwarcia pliku do zapisu.",
                                      MessageIcon::Stop}};
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
