#pragma once

#include <string>
#include <vector>

namespace kresograf {

// kresograf-cli measure FILE.kgd [--from SECONDS] [--to SECONDS] [--channels LIST]: minimum,
// maximum, mean, RMS and peak-to-peak of each input over a time window, and the window's Δt.
// Returns the exit status.
int MeasureCommand(const std::vector<std::string>& args);

}  // namespace kresograf
