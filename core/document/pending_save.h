#pragma once

#include <string>

#include "document/byte_stream.h"
#include "document/file_result.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// A save whose target is claimed before the data exist: Open creates the temporary file next to
// the target at once, so a folder that is missing or cannot be written is known before anything
// is acquired. Finish writes the document there and renames it over the target. When that fails
// (a full disk), the data are not lost: they go to a rescue file in the system's temporary
// folder, and the message says where.
class PendingSave {
  public:
    explicit PendingSave(std::string path, WriteFault fault = {});

    // The program's file message when the target cannot be written.
    FileResult Open();
    // Writes and commits; on failure tries the rescue file and sets RescuePath() when it worked.
    FileResult Finish(const CZefraKrgDoc& doc);
    const std::string& RescuePath() const { return rescuePath_; }

  private:
    ReplacingFile file_;
    std::string rescuePath_;
};

// Where a failed save puts its data: $TMPDIR (or /tmp) plus a name that no other file has.
std::string RescueFileName();
// The line that tells where the rescued data are.
std::string RescuedText(const std::string& path);

}  // namespace kresograf
