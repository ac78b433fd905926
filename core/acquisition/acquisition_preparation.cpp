#include "acquisition/acquisition_preparation.h"

#include <algorithm>

#include "base/sample_units.h"
#include "base/settings_record.h"
#include "base/translation.h"

namespace kresograf {

PrepareResult PrepareAcquisition(const AcquisitionParams& working, const TriggerParams& trigger,
                                 const SettingsRecord& settings, bool limitToShot,
                                 PreparedAcquisition& out) {
    AcquisitionParams p = working;
    TriggerParams t = trigger;
    p.Running = 0;
    if (p.ChannelCount == 0) {
        return PrepareResult::NoChannel;
    }
    const bool differential = p.SingleEnded == 0;
    const int maxChannels = differential ? 4 : 8;
    if (p.ChannelCount < 0 || p.ChannelCount > maxChannels) {
        return PrepareResult::BadChannel;
    }
    const int count = p.ChannelCount;
    for (int i = 0; i < count; ++i) {
        if (p.Channels[i] < 0 || p.Channels[i] >= maxChannels) {
            return PrepareResult::BadChannel;
        }
    }
    if (p.Divisor == 0 || p.Prescaler == 0) {
        return PrepareResult::BadRate;
    }
    if (limitToShot && p.TotalSamples / p.Prescaler < static_cast<uint32_t>(count)) {
        return PrepareResult::NoScan;
    }
    if (limitToShot && p.TotalSamples / static_cast<uint32_t>(count) > MaxShotScans) {
        p.TotalSamples = static_cast<uint32_t>(count) * MaxShotScans;
    }
    if (differential) {
        for (int i = 0; i < count; ++i) {
            const int pair = p.Channels[i];
            if (settings.ChannelGain[2 * pair] != settings.ChannelGain[2 * pair + 1]) {
                return PrepareResult::PairGainMismatch;
            }
        }
    }
    if (t.Channel >= 0 && t.Channel < 8) {
        t.ThresholdCounts = ThresholdToCounts(t.ThresholdVolts, settings.ChannelScale[t.Channel]);
    } else {
        t.ThresholdCounts = ThresholdToCounts(t.ThresholdVolts, DefaultChannelScale);
    }

    const auto scanned = p.Channels.begin();
    const auto scannedEnd = scanned + count;
    const bool analogEdge = t.Type == TriggerAnalog && t.Edge != EdgeAutomatic;
    if (analogEdge && std::find(scanned, scannedEnd, t.Channel) == scannedEnd) {
        // The card can only watch a scanned input; without it there is no trigger to wait for.
        t.Edge = EdgeAutomatic;
    }
    out.Registered = p;
    out.RegisteredTrigger = t;

    AcquisitionParams card = p;
    TriggerParams cardTrigger = t;
    for (int i = 0; i < count; ++i) {
        const uint8_t gain = differential ? settings.ChannelGain[2 * card.Channels[i]]
                                          : settings.ChannelGain[card.Channels[i]];
        if ((gain & HighGainFlag) != 0) {
            card.Channels[i] =
                static_cast<int8_t>(static_cast<uint8_t>(card.Channels[i]) | HighGainFlag);
        }
    }
    if (cardTrigger.Type == TriggerAnalog && cardTrigger.Edge != EdgeAutomatic) {
        for (int position = 0; position < count && position < 8; ++position) {
            const int8_t entry = card.Channels[position];
            if ((static_cast<uint8_t>(entry) & 0x7F) == cardTrigger.Channel) {
                // The entries before it move one place later; the rest keep their order.
                for (int j = position; j > 0; --j) {
                    card.Channels[j] = card.Channels[j - 1];
                }
                card.Channels[0] = entry;
                cardTrigger.Channel = 0;
                break;
            }
        }
    }
    out.Card = card;
    out.CardTrigger = cardTrigger;
    return PrepareResult::Ok;
}

UserMessage PrepareMessage(PrepareResult result) {
    switch (result) {
        case PrepareResult::NoChannel:
            return {Tr("Błąd konfiguracji"), Tr("Nie wybrano żadnego kanału."), MessageIcon::Stop};
        case PrepareResult::PairGainMismatch:
            return {Tr("Błąd konfiguracji"),
                    Tr("Kanały tworzące parę różnicową posiadają różne wzmocnienie."),
                    MessageIcon::Stop};
        case PrepareResult::BadChannel:
            return {Tr("Błąd konfiguracji"), Tr("Lista kanałów zawiera niepoprawny numer kanału."),
                    MessageIcon::Stop};
        case PrepareResult::BadRate:
            return {Tr("Błąd konfiguracji"), Tr("Niepoprawna częstotliwość próbkowania."),
                    MessageIcon::Stop};
        case PrepareResult::NoScan:
            return {Tr("Błąd konfiguracji"),
                    Tr("Liczba próbek jest za mała, aby odczytać choć jeden pełny skan kanałów."),
                    MessageIcon::Stop};
        case PrepareResult::Ok:
            break;
    }
    return {};
}

UserMessage ReceiveFailedMessage() {
    return {Tr("Błąd transmisji"), Tr("Błąd podczas odbierania danych z QB730."),
            MessageIcon::Stop};
}

UserMessage OverrunMessage() {
    return {Tr("Błąd utraty danych"), Tr("Wystąpiło nadpisanie danych w buforze karty."),
            MessageIcon::Stop};
}

}  // namespace kresograf
