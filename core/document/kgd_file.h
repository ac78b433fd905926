#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "document/byte_stream.h"
#include "document/file_result.h"
#include "document/recording_file.h"
#include "document/zefra_krg_doc.h"

namespace kresograf {

// The native document file: a packed little-endian header, then the samples of the current set
// interleaved by scan over its present channels.
inline constexpr uint32_t FileHeaderSize = 378;
inline constexpr uint32_t FileMagic = 0xA45D8F1C;
inline constexpr uint32_t FileVersion = 8;
// Bytes before the identification text; the header is this plus the text length.
inline constexpr uint32_t FileFixedHeaderSize = 123;
inline constexpr uint32_t FileTextLength = 255;
inline constexpr char FileText[] = "Plik w formacie ZEFRA KRG 3.0";

using FileHeaderBytes = std::array<uint8_t, FileHeaderSize>;

// The header of a file holding count scans of set `set`, with both sets' presence flags and the
// registered block.
FileHeaderBytes FileHeaderOf(uint32_t set, const std::array<std::array<uint32_t, 8>, 2>& present,
                             uint32_t count, const AcquisitionParams& params,
                             const TriggerParams& trigger);
// The header the document is saved with.
FileHeaderBytes FileHeaderOf(const CZefraKrgDoc& doc);

// Writes the document (registered block, presence flags and the current set's samples); told
// the bytes written so far after every block, it stops when progress answers false.
FileResult SaveToArchive(const CZefraKrgDoc& doc, ByteSink& sink,
                         const CopyProgress& progress = {});

// Reads a document into one that has just been cleared (DeleteContents): its scans into memory.
// On failure the document is cleared again, so it is empty and consistent; nothing is allocated
// for a count the source cannot hold.
FileResult LoadFromArchive(CZefraKrgDoc& doc, ByteSource& source);

struct SaveOptions {
    WriteFault Fault;
    // Told how far the data have come; false cancels the save (FileCancelled, target untouched).
    CopyProgress Progress;
    // Test seam: a recording is copied even where a rename would do.
    bool ForceCopy = false;
};

// Saves to path through a temporary file in the same folder, renamed over path only once every
// byte is on the disk; on failure the previous file is untouched. A recording that is still the
// program's own file is finished and moved to path instead (a rename on the same file system,
// else a copy): the same bytes, without writing them again.
FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path,
                        const WriteFault& fault = {});
FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path,
                        const SaveOptions& options);

// Clears the document and opens the file: its scans are read in place through a mapping, never
// copied, and their summaries built in one pass. The reader's code is kept in doc.LoadResult.
FileResult OpenDocument(CZefraKrgDoc& doc, const std::string& path);

// The same from bytes in memory.
FileResult OpenDocumentBytes(CZefraKrgDoc& doc, std::span<const uint8_t> bytes);

}  // namespace kresograf
