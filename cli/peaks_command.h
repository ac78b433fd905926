#pragma once

#include <string>
#include <vector>

namespace kresograf {

// kresograf-cli spectrum FILE.kgd [--channels LIST] [--from SECONDS] [--to SECONDS]
// [--window hann|hamming|blackman|rect] [--peaks N]: the strongest peaks of each input's
// amplitude spectrum over a time window, strongest first. Returns the exit status.
int SpectrumCommand(const std::vector<std::string>& args);

}  // namespace kresograf
