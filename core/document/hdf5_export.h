#pragma once

#include <string>

#include "document/byte_stream.h"
#include "document/export_table.h"
#include "document/file_result.h"

namespace kresograf {

// Writes the table as an HDF5 file at path (made anew): at the root the datasets "volts"
// (float64, scans x columns, sample / 4096 exactly) and "time" (float64 seconds of each scan),
// both chunked and compressed, and the attributes "inputs" (1-based), "rate_hz" (conversions per
// second over all inputs), "divisor", "prescaler", "single_ended", "trigger" (as the
// registered-parameters dialog words it) and "source_file". fault is asked before each block of
// volts with the bytes written so far, as a ReplacingFile asks it. Only this file knows the HDF5
// library.
FileResult WriteHdf5(const ExportTable& table, const std::string& path,
                     const std::string& sourceName, const ExportProgress& progress = {},
                     const WriteFault& fault = {});

}  // namespace kresograf
