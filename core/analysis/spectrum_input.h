#pragma once

#include <cstdint>

#include "analysis/spectrum.h"

namespace kresograf {

class CZefraKrgDoc;

// The samples of one input over scans first … last (both included) of a set of the document, as
// the spectrum reads them: where they lie, how far apart, in what unit, and the time between
// two scans from the scans' own times (unitMs: milliseconds per ScanTime unit). Nothing is
// copied; the set must stay as it is while the run is read (a file read in place stays mapped
// while the document holds it).
SampleRun ChannelRun(const CZefraKrgDoc& doc, uint32_t set, int channel, uint32_t first,
                     uint32_t last, double voltsPerUnit, double unitMs);

}  // namespace kresograf
