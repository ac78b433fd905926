#include "document/kgd_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "base/translation.h"
#include "document/mapped_file.h"
#include "document/scan_store.h"

namespace kresograf {
namespace {

// Samples move through a buffer of this many bytes: large enough that a system call per block
// costs nothing, small enough to stay in the cache's reach.
constexpr std::size_t BlockBytes = 1 << 20;

constexpr uint32_t Swap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

constexpr uint32_t Little32(uint32_t v) {
    return std::endian::native == std::endian::little ? v : Swap32(v);
}

class HeaderWriter {
  public:
    explicit HeaderWriter(uint8_t* out) : out_(out) {}
    void U8(uint8_t v) { out_[at_++] = v; }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Bytes(const void* data, std::size_t n) {
        std::memcpy(out_ + at_, data, n);
        at_ += n;
    }
    std::size_t Count() const { return at_; }

  private:
    uint8_t* out_;
    std::size_t at_ = 0;
};

class HeaderReader {
  public:
    explicit HeaderReader(const uint8_t* in, std::size_t at = 0) : in_(in), at_(at) {}
    uint8_t U8() { return in_[at_++]; }
    uint16_t U16() {
        const uint16_t low = U8();
        return static_cast<uint16_t>(low | (U8() << 8));
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | (static_cast<uint32_t>(U16()) << 16);
    }
    int8_t I8() { return static_cast<int8_t>(U8()); }

  private:
    const uint8_t* in_;
    std::size_t at_;
};

uint32_t PresentCount(const std::array<uint32_t, 8>& present) {
    return static_cast<uint32_t>(
        std::count_if(present.begin(), present.end(), [](uint32_t p) { return p != 0; }));
}

// Scans [first, first + n) of the P channels, interleaved by scan.
template <uint32_t P>
void Interleave(const int32_t* const* channels, std::size_t first, std::size_t n, uint32_t* out) {
    for (std::size_t i = first; i < first + n; ++i) {
        for (uint32_t k = 0; k < P; ++k) {
            *out++ = Little32(static_cast<uint32_t>(channels[k][i]));
        }
    }
}

using InterleaveFn = void (*)(const int32_t* const*, std::size_t, std::size_t, uint32_t*);

constexpr std::array<InterleaveFn, 9> Interleavers{nullptr,       Interleave<1>, Interleave<2>,
                                                   Interleave<3>, Interleave<4>, Interleave<5>,
                                                   Interleave<6>, Interleave<7>, Interleave<8>};

UserMessage ReadMessage(std::string text) {
    return UserMessage{Tr("Błąd odczytu pliku"), std::move(text), MessageIcon::Stop};
}

FileResult Refuse(CZefraKrgDoc& doc, int code) {
    doc.DeleteContents();
    switch (code) {
        case FileBadFormat:
        case FileBadHeaderLength:
            return FileResult{code, ReadMessage(Tr("Niepoprawny format pliku!"))};
        case FileTruncated:
            return FileResult{code, ReadMessage(Tr("Nieznany format pliku."))};
        default:
            return FileResult{code, ReadMessage(Tr("Wystąpił błąd podczas odczytu pliku."))};
    }
}

// A short read is the file's end unless the system reported a failure.
FileResult ShortRead(CZefraKrgDoc& doc, const ByteSource& source) {
    return Refuse(doc, source.Error() != 0 ? FileReadError : FileTruncated);
}

// What the header says, checked against the source's length.
struct ParsedHeader {
    uint32_t Set = 0;
    std::array<std::array<uint32_t, 8>, 2> Present{};
    uint32_t Count = 0;
    AcquisitionParams Params;
    TriggerParams Trigger;
    uint64_t DataOffset = 0;
    uint32_t Inputs = 0;
};

// Reads and checks the header; FileOk or the reader's code. The source stands at the first scan
// afterwards.
int ParseHeader(const CZefraKrgDoc& doc, ByteSource& source, ParsedHeader& out) {
    const uint64_t size = source.Size();
    if (size == 0) {
        // An empty file ends like any file shorter than its header.
        return FileTruncated;
    }
    std::array<uint8_t, FileFixedHeaderSize> head{};
    // Magic and version decide alone: nothing after them is read from a foreign file.
    if (source.Read(head.data(), 12) != 12) {
        return source.Error() != 0 ? FileReadError : FileTruncated;
    }
    HeaderReader r(head.data());
    const uint32_t headerSize = r.U32();
    if (r.U32() != FileMagic || r.U32() != FileVersion) {
        return FileBadFormat;
    }
    if (source.Read(head.data() + 12, head.size() - 12) != head.size() - 12) {
        return source.Error() != 0 ? FileReadError : FileTruncated;
    }
    out.Set = r.U32();
    for (auto& flags : out.Present) {
        for (auto& flag : flags) {
            flag = r.U32();
        }
    }
    out.Count = r.U32();
    r.U32();  // the other set's count: its samples are not in the file, so it is always 0
    out.Params = doc.RegisteredParams();
    out.Trigger = doc.RegisteredTrigger();
    out.Params.Divisor = r.U32();
    out.Params.Prescaler = r.U32();
    out.Params.ChannelCount = r.I8();
    out.Params.SingleEnded = r.I8();
    out.Params.TotalSamples = r.U32();
    for (auto& channel : out.Params.Channels) {
        channel = r.I8();
    }
    out.Trigger.Channel = r.I8();
    out.Trigger.Type = r.I8();
    out.Trigger.Edge = r.I8();
    out.Trigger.ThresholdVolts = std::bit_cast<float>(r.U32());
    out.Trigger.ThresholdCounts = static_cast<int16_t>(r.U16());
    const uint32_t textLength = r.U32();

    if (out.Set > 1) {
        return FileBadFormat;
    }
    // The text is skipped, not buffered, so a huge length costs nothing.
    out.DataOffset = uint64_t{FileFixedHeaderSize} + textLength;
    if (out.DataOffset > size) {
        return FileTruncated;
    }
    if (!source.Skip(textLength)) {
        return source.Error() != 0 ? FileTextError : FileTruncated;
    }
    if (headerSize != out.DataOffset) {
        return FileBadHeaderLength;
    }

    // The count is checked against what scan times can index and what the file holds before
    // anything is set up for it. Scan times are i x P in 32 bits.
    out.Inputs = PresentCount(out.Present[out.Set]);
    const uint32_t count = out.Count;
    if (count != 0) {
        const uint64_t lastTime = uint64_t{count - 1} * out.Inputs;
        if (count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
            lastTime > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ||
            (out.Inputs == 0 && count > BaseCapacity)) {
            return FileBadFormat;
        }
        if (uint64_t{4} * count * out.Inputs > size - out.DataOffset) {
            return FileTruncated;
        }
    }
    return FileOk;
}

// Makes the read scans the document's current set.
void Install(CZefraKrgDoc& doc, const ParsedHeader& header, std::shared_ptr<ScanStore> store) {
    const uint32_t set = header.Set;
    doc.SetStore(1 - set, nullptr);
    doc.SetStore(set, std::move(store));
    doc.CurrentSet = set;
    doc.ChannelPresent = header.Present;
    doc.SampleCount[set] = header.Count;
    doc.SampleCount[1 - set] = 0;
    doc.Register(header.Params, header.Trigger);
    ++doc.Generation[0];
    ++doc.Generation[1];
}

}  // namespace

FileHeaderBytes FileHeaderOf(uint32_t set, const std::array<std::array<uint32_t, 8>, 2>& present,
                             uint32_t count, const AcquisitionParams& params,
                             const TriggerParams& trigger) {
    FileHeaderBytes header{};
    HeaderWriter w(header.data());
    w.U32(FileHeaderSize);
    w.U32(FileMagic);
    w.U32(FileVersion);
    w.U32(set);
    for (uint32_t s = 0; s < 2; ++s) {
        for (uint32_t flag : present[s]) {
            w.U32(flag);
        }
    }
    w.U32(count);
    w.U32(0);  // the other set's samples are never stored
    w.U32(params.Divisor);
    w.U32(params.Prescaler);
    w.U8(static_cast<uint8_t>(params.ChannelCount));
    w.U8(static_cast<uint8_t>(params.SingleEnded));
    w.U32(params.TotalSamples);
    for (int8_t channel : params.Channels) {
        w.U8(static_cast<uint8_t>(channel));
    }
    w.U8(static_cast<uint8_t>(trigger.Channel));
    w.U8(static_cast<uint8_t>(trigger.Type));
    w.U8(static_cast<uint8_t>(trigger.Edge));
    w.U32(std::bit_cast<uint32_t>(trigger.ThresholdVolts));
    w.U16(static_cast<uint16_t>(trigger.ThresholdCounts));
    w.U32(FileTextLength);
    w.Bytes(FileText, sizeof FileText - 1);  // the rest of the text stays zero
    return header;
}

FileHeaderBytes FileHeaderOf(const CZefraKrgDoc& doc) {
    const uint32_t set = doc.CurrentSet.load();
    return FileHeaderOf(set, doc.ChannelPresent, doc.SampleCount[set], doc.RegisteredParams(),
                        doc.RegisteredTrigger());
}

FileResult SaveToArchive(const CZefraKrgDoc& doc, ByteSink& sink, const CopyProgress& progress) {
    const uint32_t set = doc.CurrentSet.load();
    const uint32_t count = doc.SampleCount[set];
    const auto& present = doc.ChannelPresent[set];
    const SetSamples read = doc.ReadSet(set);
    if (count > read.Capacity) {
        return WriteFailure(EINVAL);
    }
    const FileHeaderBytes header = FileHeaderOf(doc);
    if (!sink.Write(header.data(), header.size())) {
        return WriteFailure(sink.Error());
    }
    const uint32_t p = PresentCount(present);
    if (p == 0 || count == 0) {
        return {};
    }
    const uint64_t total = uint64_t{count} * p * 4;
    if (read.Store != nullptr) {
        if (read.Store->Present() != present) {
            return WriteFailure(EINVAL);
        }
        // The scans are already in the file's layout: they go out as they are.
        const uint8_t* data = read.Store->Data();
        for (uint64_t done = 0; done < total;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<uint64_t>(BlockBytes, total - done));
            if (!sink.Write(data + done, n)) {
                if (sink.Error() == EFAULT) {
                    // The system could not read the mapping: the file is gone under it.
                    read.Store->MarkLost();
                    break;
                }
                return WriteFailure(sink.Error());
            }
            done += n;
            if (progress && !progress(done, total)) {
                return FileResult{FileCancelled, std::nullopt};
            }
        }
        if (read.Store->Lost()) {
            return FileResult{FileReadError,
                              ReadMessage(Tr("Wystąpił błąd podczas odczytu pliku."))};
        }
        return {};
    }
    std::array<const int32_t*, 8> channels{};
    for (uint32_t c = 0, k = 0; c < 8; ++c) {
        if (present[c] != 0) {
            channels[k++] = doc.Samples[set][c].Data();
        }
    }
    const std::size_t blockScans =
        std::min<std::size_t>(count, std::max<std::size_t>(1, BlockBytes / (4 * p)));
    std::vector<uint32_t> block(blockScans * p);
    for (std::size_t first = 0; first < count; first += blockScans) {
        const std::size_t n = std::min<std::size_t>(blockScans, count - first);
        Interleavers[p](channels.data(), first, n, block.data());
        if (!sink.Write(block.data(), n * p * 4)) {
            return WriteFailure(sink.Error());
        }
        if (progress && !progress(uint64_t{first + n} * p * 4, total)) {
            return FileResult{FileCancelled, std::nullopt};
        }
    }
    return {};
}

FileResult LoadFromArchive(CZefraKrgDoc& doc, ByteSource& source) {
    ParsedHeader header;
    if (const int code = ParseHeader(doc, source, header); code != FileOk) {
        return Refuse(doc, code);
    }
    const uint64_t bytes = uint64_t{header.Count} * header.Inputs * 4;
    std::vector<uint8_t> scans;
    if (doc.Allocation && !doc.Allocation(header.Count)) {
        return Refuse(doc, FileBadFormat);
    }
    try {
        scans.resize(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        return Refuse(doc, FileBadFormat);
    }
    if (bytes != 0 && source.Read(scans.data(), scans.size()) != scans.size()) {
        return ShortRead(doc, source);
    }
    auto store = std::make_shared<ScanStore>(std::move(scans), header.Present[header.Set]);
    store->Publish(header.Count);
    store->LayoutSummaries(header.Count);
    store->Summarise(header.Count);
    Install(doc, header, std::move(store));
    return {};
}

FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path, const WriteFault& fault) {
    SaveOptions options;
    options.Fault = fault;
    return SaveDocument(doc, path, options);
}

FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path,
                        const SaveOptions& options) {
    const auto store = doc.Store(doc.CurrentSet.load());
    if (store != nullptr && store->File != nullptr && store->File->Owned()) {
        // The recording's own file becomes the saved one: finished with the header the document
        // would write, then moved.
        if (const int error = store->File->WriteHeader(FileHeaderOf(doc)); error != 0) {
            return WriteFailure(error);
        }
        const int error = store->File->MoveTo(path, options.Progress, options.ForceCopy);
        if (error == ECANCELED) {
            return FileResult{FileCancelled, std::nullopt};
        }
        return error != 0 ? WriteFailure(error) : FileResult{};
    }
    ReplacingFile file(path, options.Fault);
    if (const int error = file.Open(); error != 0) {
        return WriteFailure(error);
    }
    FileResult result = SaveToArchive(doc, file, options.Progress);
    if (!result.Ok()) {
        return result;
    }
    if (const int error = file.Commit(); error != 0) {
        return WriteFailure(error);
    }
    return {};
}

FileResult OpenDocument(CZefraKrgDoc& doc, const std::string& path) {
    doc.DeleteContents();
    FileSource source;
    if (source.Open(path) != 0) {
        doc.LoadResult = FileOpenError;
        return FileResult{FileOpenError,
                          ReadMessage(FillText(Tr("Nie można otworzyć pliku %s."), {path}))};
    }
    ParsedHeader header;
    FileResult result;
    int code = ParseHeader(doc, source, header);
    if (code == FileOk) {
        int error = 0;
        auto mapping = MappedFile::Map(source.Descriptor(), source.Size(), error);
        if (mapping == nullptr) {
            code = FileReadError;
        } else {
            auto store = std::make_shared<ScanStore>(std::move(mapping), header.DataOffset,
                                                     header.Present[header.Set]);
            store->Publish(header.Count);
            store->LayoutSummaries(header.Count);
            // A file cut short by another program while it was read gives its error, not data.
            if (store->SummariseFrom(source.Descriptor(), header.DataOffset, header.Count) != 0) {
                code = FileReadError;
            } else {
                Install(doc, header, std::move(store));
            }
        }
    }
    if (code != FileOk) {
        result = Refuse(doc, code);
    }
    doc.LoadResult = static_cast<uint32_t>(result.Code);
    doc.Modified = false;
    return result;
}

FileResult OpenDocumentBytes(CZefraKrgDoc& doc, std::span<const uint8_t> bytes) {
    doc.DeleteContents();
    MemorySource source(bytes);
    FileResult result = LoadFromArchive(doc, source);
    doc.LoadResult = static_cast<uint32_t>(result.Code);
    doc.Modified = false;
    return result;
}

}  // namespace kresograf
