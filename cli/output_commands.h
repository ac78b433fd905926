#pragma once

#include <string>
#include <vector>

namespace kresograf {

// kresograf-cli generate | formula | play: the arguments after the command's name; returns the
// exit status.
int GenerateCommand(const std::vector<std::string>& args);
int FormulaCommand(const std::vector<std::string>& args);
int PlayCommand(const std::vector<std::string>& args);

// The usage lines of the three commands.
extern const char* const OutputUsage;

}  // namespace kresograf
