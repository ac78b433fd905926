#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/user_message.h"
#include "document/file_result.h"

namespace kresograf {

class CZefraKrgDoc;

// Where the desktop program keeps a recording until the user saves it:
// $XDG_DATA_HOME/kresograf/recordings, or ~/.local/share/kresograf/recordings when XDG_DATA_HOME
// is unset or not absolute. Never the temporary folder, which is often memory.
std::string DefaultRecordingsFolder();

// Makes folder ready to hold recordings (created with its parents when missing); the message to
// show when it cannot: not a full path, not creatable, not writable, or in memory (the
// temporary folder, a tmpfs or ramfs), where a crash or a power cut would take the recording.
std::optional<UserMessage> PrepareRecordingsFolder(const std::string& folder);

// Recordings a program left in folder when it ended without closing them (a crash, a power cut,
// a kill): the folder's .kgd files that no running program holds, in name (= start time) order.
std::vector<std::string> FindInterruptedRecordings(const std::string& folder);

// Opens an interrupted recording as a modified document that owns its file again: the scans of
// its last flush with the registered parameters it was made with. Saving then moves the file
// into place; closing without saving removes it.
FileResult OpenInterruptedRecording(CZefraKrgDoc& doc, const std::string& path);

// Removes an interrupted recording the user declined; false when a running program holds it or
// it could not be removed.
bool RemoveInterruptedRecording(const std::string& path);

}  // namespace kresograf
