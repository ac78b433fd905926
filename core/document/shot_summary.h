#pragma once

#include <string>

namespace kresograf {

class CZefraKrgDoc;
struct SettingsRecord;

// One line about the shown set: "shot N: <scans> skanów; kanał 1: min … V, max … V, średnia … V"
// for every present input, volts with three decimals.
std::string ShotSummaryLine(int shot, const CZefraKrgDoc& doc, const SettingsRecord& settings);

}  // namespace kresograf
