#pragma once

#include <string>
#include <vector>

namespace kresograf {

// kresograf-cli export FILE.kgd OUT [--format text|csv|hdf5] [--time] [--channels LIST]: the
// recording's inputs as tab-separated text, CSV or HDF5 (the format from OUT's extension unless
// given). Shows its progress on a terminal; Ctrl+C stops it and leaves OUT as it was. Returns the
// exit status.
int ExportCommand(const std::vector<std::string>& args);

}  // namespace kresograf
