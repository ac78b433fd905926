#pragma once

#include <optional>
#include <string>

#include "base/user_message.h"

namespace kresograf {

// Outcomes of the document's file operations. 0..3 are the native reader's own codes and are
// what a document keeps as its load result; the others come from around the reader.
enum FileCode : int {
    FileOk = 0,
    FileBadFormat = 1,        // wrong magic, version, set or sample count
    FileTextError = 2,        // the identification text could not be read
    FileBadHeaderLength = 3,  // header length disagrees with the fields read
    FileTruncated = 4,        // the file ends before the bytes it declares; empty file
    FileReadError = 5,        // the system failed a read
    FileOpenError = 6,        // the file could not be opened
    FileWriteError = 7,       // writing, flushing or replacing the target failed
    FileNoData = 8,           // nothing to export
    FileNoChannels = 9,       // no channel chosen for export
    FileCancelled = 10,       // the user stopped an export or a copy; the target is as it was
};

struct FileResult {
    int Code = FileOk;
    // What to tell the user; set exactly when the operation failed.
    std::optional<UserMessage> Message;

    bool Ok() const { return Code == FileOk; }
};

// A failed write, with the full-disk variant for ENOSPC, EDQUOT and EFBIG (a file-size limit).
FileResult WriteFailure(int error);

}  // namespace kresograf
