#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/byte_stream.h"
#include "document/file_result.h"
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

// Writes the document (registered block, presence flags and the current set's samples).
FileResult SaveToArchive(const CZefraKrgDoc& doc, ByteSink& sink);

// Reads a document into one that has just been cleared (DeleteContents). On failure the
// document is cleared again, so it is empty and consistent; nothing is allocated for a count
// the source cannot hold.
FileResult LoadFromArchive(CZefraKrgDoc& doc, ByteSource& source);

// Saves to path through a temporary file in the same folder, renamed over path only once every
// byte is on the disk; on failure the previous file is untouched.
FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path,
                        const WriteFault& fault = {});

// Clears the document and reads the file; the reader's code is kept in doc.LoadResult.
FileResult OpenDocument(CZefraKrgDoc& doc, const std::string& path);

// The same from bytes in memory.
FileResult OpenDocumentBytes(CZefraKrgDoc& doc, std::span<const uint8_t> bytes);

}  // namespace kresograf
