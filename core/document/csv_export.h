#pragma once

#include <cstdint>

#include "document/byte_stream.h"
#include "document/export_table.h"
#include "document/file_result.h"

namespace kresograf {

// Writes the table as CSV (RFC 4180) for spreadsheets and pandas.read_csv without options: a
// header row ("czas [ms]" when writeTime, then "kanał N [V]"), one row per scan, commas between
// the values, none after the last, LF line ends, '.' decimals in every locale. The volts have four
// decimals, finer than half the stored step of 1/4096 V, so round(volts x 4096) gives every
// sample back; the time is the scan's time in milliseconds, exact to the clock's 0.125 µs.
FileResult WriteCsv(const ExportTable& table, ByteSink& sink, bool writeTime,
                    const ExportProgress& progress = {});

// sample / 4096 as printf's "%.4f" in the C locale gives it (exact value, ties to even);
// out must hold 24 bytes.
char* FormatCsvVolts(char* out, int32_t sample);

// periods / 8000 (ms of the 8 MHz clock) with six decimals, exact; out must hold 48 bytes.
char* FormatMilliseconds(char* out, ClockPeriods periods);

}  // namespace kresograf
