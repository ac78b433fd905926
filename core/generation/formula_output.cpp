#include "generation/formula_output.h"

#include <cmath>

#include "base/rate_table.h"
#include "base/translation.h"
#include "generation/decimal_scan.h"
#include "generation/generation_texts.h"

namespace kresograf {
namespace {

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() &&
           (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
            text.front() == '\r' || text.front() == '\v' || text.front() == '\f')) {
        text.remove_prefix(1);
    }
    return text;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    text = SkipBlanks(text);
    return DecimalValue(text, DecimalPrefix(text));
}

bool ParseCoefficient(std::string_view text, float& value, UserMessage& message) {
    text = SkipBlanks(text);
    const std::size_t length = DecimalPrefix(text);
    std::string_view rest = text.substr(length);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    const double number = length > 0 ? DecimalValue(text, length) : 0.0;
    // A value a float cannot hold is no number for this field either.
    if (length == 0 || !rest.empty() || !std::isfinite(static_cast<float>(number))) {
        message = {texts::ValidationTitle, Tr(texts::NotNumberText), MessageIcon::Exclamation};
        return false;
    }
    value = static_cast<float>(number);
    return true;
}

std::string DefaultWeightText() {
    return "1.000000";
}

std::string ChannelRowLabel(int row) {
    return FillText(Tr("Kanał %s"), {std::to_string(row + 1)});
}

bool BuildFormulaRequest(const FormulaSettings& settings, FormulaRequest& request,
                         UserMessage& message) {
    FormulaRequest r;
    r.SingleEnded = settings.Differential ? 0 : 1;
    r.Formula = settings.Formula;
    std::array<int, 8> rows{};
    if (settings.Differential) {
        // Every pair is a source; a pair's two inputs must share their gain.
        for (int p = 0; p < DifferentialRows; ++p) {
            if (settings.ChannelGain[2 * p] != settings.ChannelGain[2 * p + 1]) {
                message = {Tr(texts::ConfigErrorTitle), Tr(texts::PairGainText), MessageIcon::Stop};
                return false;
            }
            rows[r.SourceCount++] = p;
        }
    } else {
        for (int row = 0; row < SingleEndedRows; ++row) {
            if (settings.Active[row]) {
                rows[r.SourceCount++] = row;
            }
        }
    }
    if (r.SourceCount == 0) {
        message = {Tr(texts::NoDataTitle), Tr(texts::NoSourceText), MessageIcon::Exclamation};
        return false;
    }

    for (int i = 0; i < r.SourceCount; ++i) {
        const int row = rows[i];
        const int channel = settings.Differential ? 2 * row : row;
        const double w = LeadingNumber(settings.Weights[row]);
        float weight =
            static_cast<float>(w * static_cast<double>(settings.ChannelScale[channel]) * 10.0);
        if (r.Formula == FormulaExp) {
            weight = static_cast<float>(static_cast<double>(weight) * settings.B);
        }
        int8_t source = static_cast<int8_t>(row);
        if (settings.ChannelGain[channel] != 0) {
            source = static_cast<int8_t>(source | 0x80);
            weight = static_cast<float>(static_cast<double>(weight) / 10.0);
        }
        // A weight the card's float cannot hold, typed or made so by B, is no number either.
        if (!std::isfinite(static_cast<float>(w)) || !std::isfinite(weight)) {
            message = {texts::ValidationTitle, Tr(texts::NotNumberText), MessageIcon::Exclamation};
            return false;
        }
        r.Sources[i] = source;
        r.Weights[i] = weight;
    }

    if (r.Formula == FormulaExp) {
        // A exp(B X) = sign(A) exp(ln|A| + B X), with B already in the weights.
        if (settings.A == 0.0f) {
            r.CoefA = 0.0f;
            r.CoefB = 0.0f;
        } else {
            r.CoefA = static_cast<float>(std::log(std::fabs(static_cast<double>(settings.A))));
            r.CoefB = settings.A < 0.0f ? -1.0f : 1.0f;
        }
    } else {
        r.CoefA = settings.A;
        r.CoefB = settings.B;
    }
    const std::size_t row = settings.RateRow < UnprescaledRateCount ? settings.RateRow : 0;
    r.Divisor = RateTable()[row].Divisor;
    request = r;
    return true;
}

}  // namespace kresograf
