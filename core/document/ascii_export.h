#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/fixed_format.h"
#include "base/translation.h"
#include "document/byte_stream.h"
#include "document/data_export.h"
#include "document/export_table.h"
#include "document/file_result.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// Texts of the export dialog and its file chooser.
inline constexpr char ExportDialogTitle[] = N_("Eksport do formatu ASCII");
inline constexpr char ExportTimeCheckText[] = N_("Zapisać kolumnę czasu:");
inline constexpr char ExportChannelColumn[] = N_("Nr kanału");
inline constexpr char ExportChoiceColumn[] = N_("Zapisać");
inline constexpr char ExportChoiceNo[] = N_("Nie");
inline constexpr char ExportChoiceYes[] = N_("Tak");
inline constexpr char ExportFilterDat[] = N_("Pliki danych ASCII (*.dat)");
inline constexpr char ExportFilterAll[] = N_("Wszystkie pliki (*.*)");
inline constexpr char ExportDefaultSuffix[] = "dat";

// One row of the dialog's channel grid: "Kanał %d" with the input number from 1.
struct ExportRow {
    std::string Text;
    uint32_t Channel = 0;

    friend bool operator==(const ExportRow&, const ExportRow&) = default;
};

// The grid's rows: the present inputs in ascending order.
std::vector<ExportRow> ExportRows(const std::array<uint32_t, 8>& present);

// Writes the table as tab-separated text, one line per scan ending in CR LF: the time in ms
// ("%.2f", when writeTime) and the columns' volts ("%.3f"), each followed by a tab. Numbers are
// formatted as in the C locale whatever the process locale. The time of a scan is its ScanTime
// times the registered block's Divisor x Prescaler / 8000.
FileResult WriteAscii(const ExportTable& table, ByteSink& sink, bool writeTime,
                      const ExportProgress& progress = {});

// The same for the document's current set and the chosen present inputs; refuses an empty set
// or no chosen input as the export does.
FileResult WriteAscii(const CZefraKrgDoc& doc, ByteSink& sink, bool writeTime,
                      const std::array<bool, 8>& channels);

// The same into a file that replaces path only once it is complete.
FileResult ExportAscii(const CZefraKrgDoc& doc, const std::string& path, bool writeTime,
                       const std::array<bool, 8>& channels, const WriteFault& fault = {});

// A stored sample in volts, sample / 4096 as printf's "%.3f" in the C locale gives it (exact
// value, ties to even), worked out in integers; out must hold 16 bytes.
char* FormatVolts(char* out, int32_t sample);

}  // namespace kresograf
