#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/settings_record.h"
#include "base/translation.h"

namespace kresograf {

// Texts of the properties sheet "Właściwości".
namespace properties_texts {
inline constexpr char Title[] = N_("Właściwości");
inline constexpr char ColorsPage[] = N_("Kolory");
inline constexpr char CardPage[] = N_("Karta");
inline constexpr char ObjectCaption[] = N_("Obiekt:");
inline constexpr char Grid[] = N_("Siatka");
inline constexpr char ChooseColor[] = N_("Wybierz kolor");
inline constexpr char NegateOnPrint[] = N_("Zaneguj kolory na wydruku");
inline constexpr char AddressCaption[] = N_("Przestrzeń adresowa wejść/wyjść");
inline constexpr char ChannelColumn[] = N_("Nr kanału");
inline constexpr char GainColumn[] = N_("Wzmocnienie");
inline constexpr std::array<const char*, 2> Gains = {"x1", "x10"};
inline constexpr char Cancel[] = N_("Anuluj");
inline constexpr char RecordingsPage[] = N_("Rejestracje");
inline constexpr char RecordingsFolderCaption[] = N_("Folder niezapisanych rejestracji:");
inline constexpr char RecordingsFolderNote[] =
    N_("Rejestracja jest zapisywana do tego folderu na bieżąco, aż do polecenia „Zapisz”, "
       "które przenosi ją we wskazane miejsce. Folder musi leżeć na dysku (nie w pamięci).");
inline constexpr char Browse[] = N_("Przeglądaj...");
inline constexpr char DefaultFolder[] = N_("Domyślny");
}  // namespace properties_texts

// The sheet's working copies, taken from the settings and handed back on OK.
struct PropertiesValues {
    std::array<uint32_t, 8> ChannelColors{};
    uint32_t GridColor = 0;
    uint32_t NegateOnPrint = 1;
    uint32_t PortAddress = DefaultPortAddress;
    std::array<uint8_t, 8> ChannelGain{};
    // Where the next recording is kept until it is saved (a program setting of its own, not
    // part of the settings record).
    std::string RecordingsFolder;

    static PropertiesValues From(const SettingsRecord& settings);
    // Takes the values over: colours first, then the print negation, the address and the gains.
    void ApplyTo(SettingsRecord& settings) const;
};

// The 64 blocks of 16 ports the card can sit at: "000 - 009" ... "3F0 - 3F9".
std::vector<std::string> AddressItems();
// The block an address lies in (an address inside a block shows that block); -1 beyond the last.
int AddressIndex(uint32_t address);
// The address of a chosen block; with nothing chosen the address stays.
uint32_t AddressOfIndex(int index, uint32_t previous);

// The gain list's choice for a stored gain byte (0 "x1", 1 "x10") and the byte for a choice.
int GainChoice(uint8_t gain);
uint8_t GainOfChoice(int choice);

// The colour preview's lines for a client area of width x height: the trace (channel chosen) at
// y = height / 2 and the dotted grid at a third and two thirds of each side.
struct PreviewLines {
    int TraceY = 0;
    std::array<int, 2> GridY{};
    std::array<int, 2> GridX{};
};
PreviewLines PreviewGeometry(int width, int height);

}  // namespace kresograf
