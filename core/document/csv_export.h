#pragma once

#include <cstdint>

#include "document/byte_stream.h"
#include "document/export_table.h"
#include "document/file_result.h"

namespace kresograf {

// Writes the table as CSV (RFC 4180) for spreadsheets and pandas.read_csv without options: a
// header row ("czas [ms]" when writeTime, then "kanał N [V]"), one row per scan, commas between
// the values, none after the last, LF line ends, '.' decimals in every locale. Every value is
// exact: the volts are sample / 4096 to the last digit, so they give the stored samples back, and
// the time is the scan's time in milliseconds to the clock's 0.125 µs.
FileResult WriteCsv(const ExportTable& table, ByteSink& sink, bool writeTime,
                    const ExportProgress& progress = {});

// sample / 4096 as its exact decimal, at least one digit after the point and no trailing zeros
// ("-0.5", "1.0", "0.000244140625"); out must hold 24 bytes.
char* FormatExactVolts(char* out, int32_t sample);

// periods / 8000 (ms of the 8 MHz clock) as its exact decimal in the same form; out must hold 48
// bytes.
char* FormatExactMilliseconds(char* out, ClockPeriods periods);

}  // namespace kresograf
