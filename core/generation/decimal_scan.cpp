#include "generation/decimal_scan.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kresograf {
namespace {

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::size_t DecimalPrefix(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && Digit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && Digit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    // An exponent counts only with at least one digit after it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && Digit(text[j])) {
            while (j < text.size() && Digit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

double DecimalValue(std::string_view text, std::size_t length) {
    std::string_view number = text.substr(0, length);
    // from_chars takes no leading plus.
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the standard conversion's answer.
        const bool negative = !number.empty() && number.front() == '-';
        const std::size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && number.substr(e + 1).starts_with('-');
        value = tiny ? 0.0 : HUGE_VAL;
        if (negative) {
            value = -value;
        }
    }
    return value;
}

}  // namespace kresograf
