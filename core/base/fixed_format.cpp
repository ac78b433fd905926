#include "base/fixed_format.h"

#include <charconv>

namespace kresograf {

char* FormatFixed(char* out, char* end, double value, int precision) {
    // to_chars does not look at the locale, and its fixed form is printf's in the C locale.
    return std::to_chars(out, end, value, std::chars_format::fixed, precision).ptr;
}

std::string FormatFixed(double value, int precision) {
    // Wide enough for the largest double with any precision the program uses.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (result.ec != std::errc()) {
        return "?";
    }
    return std::string(buffer, result.ptr);
}

}  // namespace kresograf
