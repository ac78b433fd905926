#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/acquisition_params.h"
#include "base/translation.h"
#include "base/user_message.h"

namespace kresograf {

// Texts of the acquisition-parameters window.
namespace params_texts {
inline constexpr char WindowTitle[] = N_("Parametry akwizycji");
inline constexpr char GeneralPage[] = N_("Ogólne");
inline constexpr char TriggerPage[] = N_("Wyzwalanie");
inline constexpr char RateCaption[] = N_("Częstotliwość akwizycji:");
inline constexpr char ApplyRate[] = ">";
inline constexpr char DurationCaption[] = N_("Czas trwania akwizycji:");
inline constexpr char Differential[] = N_("Praca różnicowa:");
inline constexpr char ChannelColumn[] = N_("Nr kanału");
inline constexpr char ActiveColumn[] = N_("Aktywny");
inline constexpr char No[] = N_("Nie");
inline constexpr char Yes[] = N_("Tak");
inline constexpr std::array<const char*, 3> Units = {"ms", "s", "min"};
inline constexpr char EdgeCaption[] = N_("Zbocze:");
inline constexpr std::array<const char*, 3> Edges = {N_("Narastające"), N_("Opadające"),
                                                     N_("Automatyczne")};
inline constexpr char TypeCaption[] = N_("Typ:");
inline constexpr std::array<const char*, 2> Types = {N_("Analogowy"), N_("Cyfrowy")};
inline constexpr char ChannelCaption[] = N_("Kanał:");
inline constexpr char ThresholdCaption[] = N_("Próg [V]:");
}  // namespace params_texts

// "Kanał %d" with number.
std::string ChannelName(int number);

// A single-precision value as an edit shows it: "%.3f".
std::string FormatEditValue(float value);
// A number typed into an edit: blanks and tabs around it, nothing else. Nothing when the text is
// not a number; then the caller shows NotANumberMessage and keeps the previous value.
std::optional<float> ParseEditValue(std::string_view text);
UserMessage NotANumberMessage();

// The label of an applied duration: "%.2f ms" below 1 s, "%.2f s" below a minute, else
// "%.2f min".
std::string DurationLabel(float seconds);
// The unit (0 ms, 1 s, 2 min) and value in it that show a duration in the edit.
struct DurationInUnit {
    int Unit = 1;
    float Value = 0.0f;
};
DurationInUnit DurationForEdit(float seconds);
// A typed value in a unit as seconds.
float DurationSeconds(float value, int unit);
// The applied duration of a block: TotalSamples x Divisor (in 64 bits) / 8 000 000.
float BlockDurationSeconds(const AcquisitionParams& params);

// The rate label of a block: its table row's label, or for a pair outside the table the pair's
// own rate ("%d Hz" rounded, "1 / %d Hz" below 1 Hz, "-" when it has none).
std::string BlockRateLabel(const AcquisitionParams& params);

// The page "Ogólne" as its controls show it.
struct GeneralPage {
    bool Differential = false;
    // One per grid row: 8 single-ended, 4 differential.
    std::vector<bool> Active = std::vector<bool>(8, false);
    // The rate row last applied or loaded; -1 when the block's pair is no row.
    int RateIndex = -1;
    // The rate list's selection; -1 selects nothing.
    int RateSelection = -1;
    float DurationSeconds = 0.0f;
    // The duration edit and the unit list.
    float DurationValue = 0.0f;
    int Unit = 1;
    std::string DurationText;
    std::string RateText;
};

// Refreshes the page from the block. While the block is in use by a run the rate list, the
// duration edit and the unit list keep what they show; returns false then.
bool LoadGeneral(GeneralPage& page, const AcquisitionParams& params);
// Writes the page into the block: the input mode, the applied rate, the channel list, the
// trigger rule and the total for the applied duration.
void StoreGeneral(const GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger);
// ">": the selected rate becomes the applied one.
void ApplyRate(GeneralPage& page, AcquisitionParams& params);
// The arrow button: typed is the edit's number, nothing when it was refused (the previous
// value is used with the unit now selected).
void ApplyDuration(GeneralPage& page, AcquisitionParams& params, std::optional<float> typed);
// "Praca różnicowa:" changed. Off adds rows 4..7 ("Nie") and keeps the channel list; on drops
// them and lists what rows 0..3 hold.
void SetDifferential(GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger, bool on);
// A grid toggle: the channel list follows the rows; an analog trigger on a channel no longer
// listed turns automatic.
void ChannelsToggled(const GeneralPage& page, AcquisitionParams& params, TriggerParams& trigger);

// The page "Wyzwalanie" as its controls show it.
struct TriggerPage {
    int Edge = EdgeAutomatic;
    int Type = TriggerAnalog;
    struct ChannelItem {
        std::string Text;
        int Channel = 0;
    };
    std::vector<ChannelItem> Channels;
    int ChannelSelection = -1;
    float ThresholdVolts = 0.0f;
    int SliderPos = 500;
    bool EdgeEnabled = true;
    bool TypeEnabled = false;
    bool ChannelEnabled = false;
    bool SliderEnabled = false;
};

// Slider 0..1000 for -5.00..+5.00 V.
int SliderFromVolts(float volts);
float VoltsFromSlider(int position);

// Refreshes the page from the block; an analog trigger on a channel that is not listed turns
// automatic in the block.
void LoadTrigger(TriggerPage& page, const AcquisitionParams& params, TriggerParams& trigger);
void StoreTrigger(const TriggerPage& page, TriggerParams& trigger);
void TriggerChannelChosen(TriggerPage& page, TriggerParams& trigger, int index);
void TriggerTypeChosen(TriggerPage& page, const AcquisitionParams& params, TriggerParams& trigger,
                       int type);
void TriggerEdgeChosen(TriggerPage& page, TriggerParams& trigger, int edge);
void TriggerSliderMoved(TriggerPage& page, TriggerParams& trigger, int position);

}  // namespace kresograf
