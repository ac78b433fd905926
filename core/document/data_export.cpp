#include "document/data_export.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "document/ascii_export.h"
#include "document/csv_export.h"
#include "document/hdf5_export.h"

namespace kresograf {
namespace {

UserMessage OpenFailure() {
    return UserMessage{Tr("Błąd pliku"), Tr("Błąd podczas próby otwarcia pliku do zapisu."),
                       MessageIcon::Stop};
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(b)) == a;
           });
}

// Where the target's folder takes no new file, the target is written in place: the HDF5 library
// then writes a scratch file in the system's temporary folder, which is copied into the target.
FileResult WriteHdf5Through(const ExportTable& table, ByteSink& sink, const std::string& sourceName,
                            const ExportProgress& progress) {
    std::error_code ignored;
    std::string scratch =
        (std::filesystem::temp_directory_path(ignored) / "kresograf-export-XXXXXX").string();
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        return WriteFailure(errno);
    }
    ::close(fd);
    const struct Removal {
        const std::string& Path;
        ~Removal() { ::unlink(Path.c_str()); }
    } removal{scratch};
    FileResult result = WriteHdf5(table, scratch, sourceName, progress);
    if (!result.Ok()) {
        return result;
    }
    FileSource source;
    if (const int error = source.Open(scratch); error != 0) {
        return WriteFailure(error);
    }
    std::vector<uint8_t> buffer(1 << 20);
    while (const std::size_t n = source.Read(buffer.data(), buffer.size())) {
        if (!sink.Write(buffer.data(), n)) {
            return WriteFailure(sink.Error());
        }
    }
    return source.Error() != 0 ? WriteFailure(source.Error()) : FileResult{};
}

}  // namespace

std::optional<ExportFormat> ParseExportFormat(std::string_view name) {
    if (name == "text") {
        return ExportFormat::Text;
    }
    if (name == "csv") {
        return ExportFormat::Csv;
    }
    if (name == "hdf5") {
        return ExportFormat::Hdf5;
    }
    return std::nullopt;
}

ExportFormat ExportFormatOf(std::string_view path) {
    if (EndsWithNoCase(path, ".csv")) {
        return ExportFormat::Csv;
    }
    if (EndsWithNoCase(path, ".h5") || EndsWithNoCase(path, ".hdf5")) {
        return ExportFormat::Hdf5;
    }
    return ExportFormat::Text;
}

const std::array<ExportFilter, 4>& ExportFilters() {
    static const std::array<ExportFilter, 4> filters{{
        {ExportFilterDat, ExportDefaultSuffix},
        {N_("Pliki CSV (*.csv)"), "csv"},
        {N_("Pliki HDF5 (*.h5 *.hdf5)"), "h5"},
        {ExportFilterAll, ""},
    }};
    return filters;
}

const char* ExportDialogTitleOf(ExportFormat format) {
    switch (format) {
        case ExportFormat::Csv:
            return N_("Eksport do formatu CSV");
        case ExportFormat::Hdf5:
            return N_("Eksport do formatu HDF5");
        case ExportFormat::Text:
            break;
    }
    return ExportDialogTitle;
}

std::string ExportProgressText(uint64_t done, uint64_t total) {
    const uint64_t percent = total == 0 ? 100 : std::min<uint64_t>(100, done * 100 / total);
    return FillText(Tr("Eksport: %s%%"), {std::to_string(percent)});
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

std::optional<FileResult> ExportRefusal(const CZefraKrgDoc& doc,
                                        const std::array<bool, 8>& channels) {
    if (auto message = ExportPrecheck(doc)) {
        return FileResult{FileNoData, std::move(message)};
    }
    for (uint32_t c = 0; c < 8; ++c) {
        if (channels[c] && doc.ChannelPresent[doc.CurrentSet.load()][c] != 0) {
            return std::nullopt;
        }
    }
    return FileResult{FileNoChannels,
                      UserMessage{Tr("Brak danych"), Tr("Nie wybrano danych do wyeksportowania."),
                                  MessageIcon::Exclamation}};
}

FileResult ExportData(const CZefraKrgDoc& doc, const std::string& path,
                      const ExportRequest& request, const ExportProgress& progress,
                      const WriteFault& fault) {
    // Nothing to write means no file is made at all.
    if (auto refusal = ExportRefusal(doc, request.Channels)) {
        return *refusal;
    }
    ReplacingFile file(path, fault);
    if (file.Open() != 0) {
        return FileResult{FileOpenError, OpenFailure()};
    }
    const ExportTable table(doc, request.Channels);
    FileResult result;
    switch (request.Format) {
        case ExportFormat::Text:
            result = WriteAscii(table, file, request.WriteTime, progress);
            break;
        case ExportFormat::Csv:
            result = WriteCsv(table, file, request.WriteTime, progress);
            break;
        case ExportFormat::Hdf5:
            // The library writes the temporary file by its name; the rename stays ours.
            result =
                file.TemporaryPath().empty()
                    ? WriteHdf5Through(table, file, request.SourceName, progress)
                    : WriteHdf5(table, file.TemporaryPath(), request.SourceName, progress, fault);
            break;
    }
    if (!result.Ok()) {
        return result;
    }
    if (const int error = file.Commit(); error != 0) {
        return WriteFailure(error);
    }
    return {};
}

}  // namespace kresograf
