// Feeds arbitrary bytes to the native file reader. Whatever the bytes, the reader must not
// crash, must not allocate beyond what the bytes can back, and must leave the document either
// loaded and consistent or empty; a loaded document must save back to a file that loads to the
// same bytes again.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "document/ascii_export.h"
#include "document/csv_export.h"
#include "document/kgd_file.h"
#include "document/registered_params.h"

namespace {

using namespace kresograf;

// Bounds what one input may make the reader allocate: a file of a few kilobytes never backs
// more than this.
constexpr std::size_t MaxEntries = 1 << 20;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

CZefraKrgDoc& Doc(int which) {
    static CZefraKrgDoc* docs[2] = {nullptr, nullptr};
    if (docs[which] == nullptr) {
        docs[which] = new CZefraKrgDoc;
        docs[which]->Allocation = [](std::size_t entries) { return entries <= MaxEntries; };
    }
    return *docs[which];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CZefraKrgDoc& doc = Doc(0);
    const FileResult result = OpenDocumentBytes(doc, std::span<const uint8_t>(data, size));
    const uint32_t set = doc.CurrentSet.load();
    Require(set <= 1);
    Require(doc.LoadResult == static_cast<uint32_t>(result.Code));
    if (!result.Ok()) {
        Require(result.Message.has_value());
        Require(set == 0 && doc.SampleCount[0] == 0 && doc.SampleCount[1] == 0);
        return 0;
    }
    Require(!result.Message.has_value());
    Require(doc.SampleCount[set] <= doc.SetCapacity(set));
    Require(doc.SampleCount[1 - set] == 0);

    VectorSink first;
    Require(SaveToArchive(doc, first).Ok());
    CZefraKrgDoc& again = Doc(1);
    Require(OpenDocumentBytes(again, first.Bytes).Ok());
    VectorSink second;
    Require(SaveToArchive(again, second).Ok());
    Require(first.Bytes == second.Bytes);

    // The other consumers of a loaded block must cope with whatever it holds.
    (void)RegisteredParamsTexts(doc);
    VectorSink table;
    const FileResult exported =
        WriteAscii(doc, table, true, {true, true, true, true, true, true, true, true});
    Require(exported.Ok() || exported.Code == FileNoData || exported.Code == FileNoChannels);
    // Any block's times (up to 2^95 clock periods) and any sample fit the CSV's rows.
    if (exported.Ok()) {
        VectorSink csv;
        Require(
            WriteCsv(ExportTable(doc, {true, true, true, true, true, true, true, true}), csv, true)
                .Ok());
    }
    return 0;
}
