#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "document/file_result.h"

namespace kresograf {

class CZefraKrgDoc;

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// Prints the message on standard error and returns code.
int Fail(const std::string& message, int code);
// A wrong command line: the message and where to read more, status 2 (as every command).
int UsageError(const std::string& message);
// A file that could not be read or written: its message ("title: text"), status 1.
int FileFailure(const FileResult& result);

// What the commands that read one file over a time window are given: the file, --from and --to
// in seconds (open ends when not given) and --channels.
struct FileWindowArgs {
    std::string File;
    double From = -std::numeric_limits<double>::infinity();
    double To = std::numeric_limits<double>::infinity();
    std::string Channels;
};

// A command's own option with its value; returns ExitOk or the status to end with.
using OwnOption = std::function<int(const std::string& option, const std::string& value)>;

// Reads the arguments; the options named in `own` (each takes a value) go to takeOwn. Returns
// ExitOk or the status to end with, its message printed.
int ParseFileWindowArgs(const std::vector<std::string>& args, const std::vector<std::string>& own,
                        const OwnOption& takeOwn, FileWindowArgs& out);

// The inputs and scans those arguments select in an opened document.
struct FileWindow {
    uint32_t Set = 0;
    std::array<bool, 8> Chosen{};
    uint32_t First = 0;
    uint32_t Last = 0;
    // Milliseconds per ScanTime unit.
    double UnitMs = 0.0;
};

// Opens the file into doc and finds the window: every input with data when none was named.
// Returns ExitOk or the status to end with, its message printed.
int OpenFileWindow(const FileWindowArgs& args, CZefraKrgDoc& doc, FileWindow& out);

}  // namespace kresograf
