#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/acquisition_params.h"
#include "base/frame_link.h"
#include "base/translation.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

inline constexpr char RegisteredParamsTitle[] = N_("Zarejestrowane parametry");
inline constexpr char RegisteredParamsCloseText[] = N_("Koniec");

// Line order of the registered-parameters summary.
enum RegisteredLine : std::size_t {
    LineDuration,
    LineRate,
    LineChannelRate,
    LineChannelCount,
    LineTriggerType,
    LineTriggerChannel,
    LineTriggerEdge,
    LineTriggerThreshold,
    LineFileSize,
};

// The nine lines describing how the data were recorded: duration, overall and per-channel rate,
// channel count, the trigger, and the size of the native file holding scans scans of every
// listed channel.
//
// Blocks that no acquisition makes (they can come from a file) still give sound lines:
// - a Divisor/Prescaler pair that is not a rate of the table: the rates are worked out from the
//   pair itself, 8 000 000 / (Divisor x Prescaler), shown as "%d Hz" rounded when at least
//   1 Hz and as "1 / %d Hz" with the period rounded to whole seconds below that; a Divisor or
//   Prescaler of 0 shows "-" in both rate lines and a duration of 0;
// - ChannelCount of 0 or below: "-" in place of the per-channel rate; a negative count also
//   shows "-" in place of the file size;
// - TotalSamples below 2: a duration of 0.00 ms;
// - the file size is counted in 64 bits, so it never wraps.
std::array<std::string, 9> RegisteredParamsTexts(uint32_t scans, const AcquisitionParams& params,
                                                 const TriggerParams& trigger);

// The trigger in one line as the dialog words it ("Wyzwalanie analogowe; Kanał: 1; Zbocze:
// narastające; Próg: 0.500 V", or "Wyzwalanie automatyczne"), for files: always in Polish.
std::string RegisteredTriggerText(const TriggerParams& trigger);

// The same for a document: the current set's scan count with the registered block.
std::array<std::string, 9> RegisteredParamsTexts(const CZefraKrgDoc& doc);

// What the registered-parameters dialog shows for a document: its registered block with both
// sets' scan counts, the shown one first.
RegisteredParamsRequest RegisteredParamsRequestOf(const CZefraKrgDoc& doc);

}  // namespace kresograf
