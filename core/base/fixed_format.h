#pragma once

#include <string>

namespace kresograf {

// printf's "%.*f" in the C locale, whatever locale the process runs in (the desktop program's
// toolkit sets the user's). Returns the end of the text written at out; out must hold it.
char* FormatFixed(char* out, char* end, double value, int precision);
std::string FormatFixed(double value, int precision);

}  // namespace kresograf
