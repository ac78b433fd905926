#pragma once

#include <cstddef>
#include <string_view>

namespace kresograf {

// The length of the longest decimal number at the start of text (sign, digits, a decimal point,
// an exponent), 0 when there is none. Only C-locale decimal forms count: no "inf", no "nan", no
// hexadecimal.
std::size_t DecimalPrefix(std::string_view text);
// The number text[0..length) as a double; length must come from DecimalPrefix.
double DecimalValue(std::string_view text, std::size_t length);

}  // namespace kresograf
