#include "document/kgd_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "base/translation.h"

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

template <uint32_t P>
void Deinterleave(const uint32_t* in, std::size_t first, std::size_t n, int32_t* const* channels) {
    for (std::size_t i = first; i < first + n; ++i) {
        for (uint32_t k = 0; k < P; ++k) {
            channels[k][i] = static_cast<int32_t>(Little32(*in++));
        }
    }
}

using InterleaveFn = void (*)(const int32_t* const*, std::size_t, std::size_t, uint32_t*);
using DeinterleaveFn = void (*)(const uint32_t*, std::size_t, std::size_t, int32_t* const*);

constexpr std::array<InterleaveFn, 9> Interleavers{nullptr,       Interleave<1>, Interleave<2>,
                                                   Interleave<3>, Interleave<4>, Interleave<5>,
                                                   Interleave<6>, Interleave<7>, Interleave<8>};
constexpr std::array<DeinterleaveFn, 9> Deinterleavers{
    nullptr,         Deinterleave<1>, Deinterleave<2>, Deinterleave<3>, Deinterleave<4>,
    Deinterleave<5>, Deinterleave<6>, Deinterleave<7>, Deinterleave<8>};

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

}  // namespace

FileResult SaveToArchive(const CZefraKrgDoc& doc, ByteSink& sink) {
    const uint32_t set = doc.CurrentSet.load();
    const uint32_t count = doc.SampleCount[set];
    const auto& present = doc.ChannelPresent[set];
    if (count > doc.SetCapacity(set)) {
        return WriteFailure(EINVAL);
    }
    const AcquisitionParams params = doc.RegisteredParams();
    const TriggerParams trigger = doc.RegisteredTrigger();

    std::array<uint8_t, FileHeaderSize> header{};
    HeaderWriter w(header.data());
    w.U32(FileHeaderSize);
    w.U32(FileMagic);
    w.U32(FileVersion);
    w.U32(set);
    for (uint32_t s = 0; s < 2; ++s) {
        for (uint32_t flag : doc.ChannelPresent[s]) {
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
    if (!sink.Write(header.data(), header.size())) {
        return WriteFailure(sink.Error());
    }

    std::array<const int32_t*, 8> channels{};
    const uint32_t p = PresentCount(present);
    for (uint32_t c = 0, k = 0; c < 8; ++c) {
        if (present[c] != 0) {
            channels[k++] = doc.Samples[set][c].Data();
        }
    }
    if (p == 0 || count == 0) {
        return {};
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
    }
    return {};
}

FileResult LoadFromArchive(CZefraKrgDoc& doc, ByteSource& source) {
    const uint64_t size = source.Size();
    if (size == 0) {
        // An empty file ends like any file shorter than its header.
        return Refuse(doc, FileTruncated);
    }
    std::array<uint8_t, FileFixedHeaderSize> head{};
    // Magic and version decide alone: nothing after them is read from a foreign file.
    if (source.Read(head.data(), 12) != 12) {
        return ShortRead(doc, source);
    }
    HeaderReader r(head.data());
    const uint32_t headerSize = r.U32();
    if (r.U32() != FileMagic || r.U32() != FileVersion) {
        return Refuse(doc, FileBadFormat);
    }
    if (source.Read(head.data() + 12, head.size() - 12) != head.size() - 12) {
        return ShortRead(doc, source);
    }
    const uint32_t set = r.U32();
    std::array<std::array<uint32_t, 8>, 2> present{};
    for (auto& flags : present) {
        for (auto& flag : flags) {
            flag = r.U32();
        }
    }
    const uint32_t count = r.U32();
    r.U32();  // the other set's count: its samples are not in the file, so it is always 0
    AcquisitionParams params = doc.RegisteredParams();
    TriggerParams trigger = doc.RegisteredTrigger();
    params.Divisor = r.U32();
    params.Prescaler = r.U32();
    params.ChannelCount = r.I8();
    params.SingleEnded = r.I8();
    params.TotalSamples = r.U32();
    for (auto& channel : params.Channels) {
        channel = r.I8();
    }
    trigger.Channel = r.I8();
    trigger.Type = r.I8();
    trigger.Edge = r.I8();
    trigger.ThresholdVolts = std::bit_cast<float>(r.U32());
    trigger.ThresholdCounts = static_cast<int16_t>(r.U16());
    const uint32_t textLength = r.U32();

    if (set > 1) {
        return Refuse(doc, FileBadFormat);
    }
    // The text is skipped, not buffered, so a huge length costs nothing.
    const uint64_t headerEnd = uint64_t{FileFixedHeaderSize} + textLength;
    if (headerEnd > size) {
        return Refuse(doc, FileTruncated);
    }
    if (!source.Skip(textLength)) {
        return Refuse(doc, source.Error() != 0 ? FileTextError : FileTruncated);
    }
    if (headerSize != headerEnd) {
        return Refuse(doc, FileBadHeaderLength);
    }

    // The count is checked against what the arrays can index and what the file holds before
    // anything is allocated for it. Scan times are i x P in 32 bits.
    const uint32_t p = PresentCount(present[set]);
    if (count != 0) {
        const uint64_t lastTime = uint64_t{count - 1} * p;
        if (count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
            lastTime > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) ||
            (p == 0 && count > BaseCapacity)) {
            return Refuse(doc, FileBadFormat);
        }
        if (uint64_t{4} * count * p > size - headerEnd) {
            return Refuse(doc, FileTruncated);
        }
    }
    if (count > doc.SetCapacity(set) && !doc.ResizeSet(set, count)) {
        return Refuse(doc, FileBadFormat);
    }

    int32_t* times = doc.ScanTime[set].Data(count);
    for (uint32_t i = 0; i < count; ++i) {
        times[i] = static_cast<int32_t>(i * p);
    }
    if (p != 0 && count != 0) {
        std::array<int32_t*, 8> channels{};
        for (uint32_t c = 0, k = 0; c < 8; ++c) {
            if (present[set][c] != 0) {
                channels[k++] = doc.Samples[set][c].Data(count);
            }
        }
        const std::size_t blockScans =
            std::min<std::size_t>(count, std::max<std::size_t>(1, BlockBytes / (4 * p)));
        std::vector<uint32_t> block(blockScans * p);
        for (std::size_t first = 0; first < count; first += blockScans) {
            const std::size_t n = std::min<std::size_t>(blockScans, count - first);
            const std::size_t bytes = n * p * 4;
            if (source.Read(block.data(), bytes) != bytes) {
                return ShortRead(doc, source);
            }
            Deinterleavers[p](block.data(), first, n, channels.data());
        }
    }

    doc.CurrentSet = set;
    doc.ChannelPresent = present;
    doc.SampleCount[set] = count;
    doc.SampleCount[1 - set] = 0;
    doc.Register(params, trigger);
    ++doc.Generation[0];
    ++doc.Generation[1];
    return {};
}

FileResult SaveDocument(const CZefraKrgDoc& doc, const std::string& path, const WriteFault& fault) {
    ReplacingFile file(path, fault);
    if (const int error = file.Open(); error != 0) {
        return WriteFailure(error);
    }
    FileResult result = SaveToArchive(doc, file);
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
    FileResult result = LoadFromArchive(doc, source);
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
