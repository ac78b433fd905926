#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/translation.h"
#include "base/user_message.h"
#include "document/byte_stream.h"
#include "document/export_table.h"
#include "document/file_result.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// The forms the shown data can be exported in: the tab-separated table, CSV for spreadsheets and
// pandas, HDF5 for MATLAB, h5py, Julia and R.
enum class ExportFormat { Text, Csv, Hdf5 };

// The command line's names: "text", "csv", "hdf5".
std::optional<ExportFormat> ParseExportFormat(std::string_view name);

// What a file name asks for: ".csv" CSV, ".h5" and ".hdf5" HDF5 (in any case), anything else the
// tab-separated text.
ExportFormat ExportFormatOf(std::string_view path);

// One filter of the export's file chooser.
struct ExportFilter {
    const char* Text = nullptr;  // shown through Tr()
    // Given to a name typed without one while the filter is chosen; empty for "all files".
    const char* Suffix = nullptr;
};

// The chooser's filters: the tab-separated text first, as ever, then CSV, HDF5 and all files.
const std::array<ExportFilter, 4>& ExportFilters();

// The channel dialog's title for a format (shown through Tr()).
const char* ExportDialogTitleOf(ExportFormat format);

inline constexpr char ExportProgressTitle[] = N_("Eksport danych");
// The progress dialog's line, with the file's name.
inline constexpr char ExportProgressLabel[] = N_("Zapisywanie pliku %s");
inline constexpr char ExportCancelledText[] = N_("Eksport przerwany: plik nie został zapisany.");

// "Eksport: 42%": the progress line of a long export.
std::string ExportProgressText(uint64_t done, uint64_t total);

struct ExportRequest {
    ExportFormat Format = ExportFormat::Text;
    // The time column of the text forms; HDF5 always carries the time.
    bool WriteTime = false;
    // The inputs to write (0-based); only present ones are written.
    std::array<bool, 8> Channels{};
    // The document's file name, which HDF5 records.
    std::string SourceName;
};

// "Brak danych" when the current set holds no scans; the export command asks this before it
// shows any dialog.
std::optional<UserMessage> ExportPrecheck(const CZefraKrgDoc& doc);

// "Błąd pliku" when no file can be written under path; the export command asks this right after
// the file is chosen, before the channel dialog. Nothing is left behind.
std::optional<UserMessage> ExportTargetCheck(const std::string& path);

// Why the chosen inputs of the document cannot be exported (no scans, no present input chosen).
std::optional<FileResult> ExportRefusal(const CZefraKrgDoc& doc,
                                        const std::array<bool, 8>& channels);

// Writes the current set's chosen inputs in the requested form into a file that replaces path
// only once every byte is on the disk. A refusal, a failure or a stop asked through progress
// (FileCancelled) leaves no partial file and an existing one as it was.
FileResult ExportData(const CZefraKrgDoc& doc, const std::string& path,
                      const ExportRequest& request, const ExportProgress& progress = {},
                      const WriteFault& fault = {});

}  // namespace kresograf
