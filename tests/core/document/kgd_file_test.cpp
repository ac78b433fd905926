#include "document/kgd_file.h"
#include "document/ascii_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <span>

#include "file_test_support.h"

namespace kresograf {
namespace {

using filetest::FolderLock;
using filetest::PutU32;
using filetest::ReadBytes;
using filetest::TempFolder;
using filetest::U32At;
using filetest::WriteBytes;

const UserMessage BadFormat{"Błąd odczytu pliku", "Niepoprawny format pliku!", MessageIcon::Stop};
const UserMessage Unknown{"Błąd odczytu pliku", "Nieznany format pliku.", MessageIcon::Stop};
const UserMessage ReadFailed{"Błąd odczytu pliku", "Wystąpił błąd podczas odczytu pliku.",
                             MessageIcon::Stop};
const UserMessage WriteFailed{"Błąd zapisu pliku", "Wystąpił błąd podczas zapisu do pliku.",
                              MessageIcon::Stop};
const UserMessage DiskFull{"Błąd zapisu pliku",
                           "Wystąpił błąd podczas zapisu do pliku. Brak miejsca na dysku.",
                           MessageIcon::Stop};

// Divisor 84, prescaler 1, three differential inputs, 123456 samples; a rising digital trigger
// (type 1, edge 0: the two bytes differ) on input 4 at -409 counts, 1.5 V.
const AcquisitionParams Sample{84, 1, 3, 0, {0, 2, 5, 7, 1, 0, -1, 3}, 0x0001E240, 0};
const TriggerParams Trigger{TriggerDigital, 4, EdgeRising, -409, 1.5f};

// A document holding count scans of the given inputs in the given set.
void Fill(CZefraKrgDoc& doc, uint32_t set, std::array<uint32_t, 8> present, uint32_t count) {
    doc.CurrentSet = set;
    doc.ChannelPresent[set] = present;
    ASSERT_TRUE(doc.ResizeSet(set, std::max(count, BaseCapacity)));
    for (uint32_t c = 0; c < 8; ++c) {
        for (uint32_t i = 0; i < count; ++i) {
            doc.Samples[set][c][i] = static_cast<int32_t>((c + 1) * 100000 + i) * (i % 2 ? -1 : 1);
        }
    }
    doc.SampleCount[set] = count;
    doc.Register(Sample, Trigger);
}

std::vector<uint8_t> Saved(const CZefraKrgDoc& doc) {
    VectorSink sink;
    EXPECT_TRUE(SaveToArchive(doc, sink).Ok());
    return sink.Bytes;
}

void ExpectEmpty(const CZefraKrgDoc& doc) {
    EXPECT_EQ(doc.CurrentSet, 0u);
    EXPECT_EQ(doc.SampleCount, (std::array<uint32_t, 2>{0, 0}));
    EXPECT_EQ(doc.SetCapacity(0), 0u);
    EXPECT_EQ(doc.SetCapacity(1), 0u);
}

TEST(KgdFileTest, HeaderBytesAreExact) {
    CZefraKrgDoc doc;
    doc.ChannelPresent[0] = {1, 0, 1, 0, 0, 0, 0, 7};
    doc.ChannelPresent[1] = {0, 1, 0, 0, 0, 0, 0, 0};
    doc.Register(Sample, Trigger);
    doc.Params[0].Divisor = 1;  // the working block is never stored
    const std::vector<uint8_t> bytes = Saved(doc);

    std::vector<uint8_t> expected = {
        0x7A, 0x01, 0x00, 0x00,                                                  // header size 378
        0x1C, 0x8F, 0x5D, 0xA4,                                                  // magic
        0x08, 0x00, 0x00, 0x00,                                                  // version
        0x00, 0x00, 0x00, 0x00,                                                  // current set
        1,    0,    0,    0,    0,    0,    0,    0,    1, 0, 0, 0, 0, 0, 0, 0,  // set 0 presence
        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 7, 0, 0, 0,  //
        0,    0,    0,    0,    1,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // set 1 presence
        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  //
        0,    0,    0,    0,    0,    0,    0,    0,     // samples of the current set, of the other
        0x54, 0,    0,    0,    0x01, 0,    0,    0,     // divisor 84, prescaler 1
        0x03, 0x00,                                      // channel count, single-ended
        0x40, 0xE2, 0x01, 0x00,                          // total samples
        0x00, 0x02, 0x05, 0x07, 0x01, 0x00, 0xFF, 0x03,  // scan list
        0x04, 0x01, 0x00,                                // trigger channel, type, edge
        0x00, 0x00, 0xC0, 0x3F, 0x67, 0xFE,              // threshold 1.5 V, -409 counts
        0xFF, 0x00, 0x00, 0x00,                          // text length
    };
    const std::string text = "Plik w formacie ZEFRA KRG 3.0";
    expected.insert(expected.end(), text.begin(), text.end());
    expected.resize(378, 0);
    ASSERT_EQ(bytes.size(), 378u);
    EXPECT_EQ(bytes, expected);
}

TEST(KgdFileTest, RoundTripsThroughFileEmptyAndLarge) {
    TempFolder folder;
    const std::string path = folder.File("pomiar.kgd");
    CZefraKrgDoc doc;
    Fill(doc, 1, {0, 1, 0, 1, 0, 0, 1, 0}, 1000);
    doc.SampleCount[0] = 55;  // the other set's data are never stored
    doc.ChannelPresent[0] = {1, 1, 0, 0, 0, 0, 0, 1};
    ASSERT_TRUE(SaveDocument(doc, path).Ok());

    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 378u + 12000u);
    EXPECT_EQ(U32At(bytes, 80), 1000u);
    // Interleaved by scan: inputs 1, 3, 6 of scan 0, then of scan 1.
    EXPECT_EQ(static_cast<int32_t>(U32At(bytes, 378 + 8)), doc.Samples[1][6][0]);
    EXPECT_EQ(static_cast<int32_t>(U32At(bytes, 378 + 12)), doc.Samples[1][1][1]);

    CZefraKrgDoc opened;
    ASSERT_TRUE(OpenDocument(opened, path).Ok());
    EXPECT_EQ(std::tie(opened.ChannelPresent, opened.Params[1], opened.Triggers[1]),
              std::tie(doc.ChannelPresent, Sample, Trigger));
    EXPECT_EQ(std::pair(opened.CurrentSet.load(), opened.SampleCount),
              std::pair(1u, std::array<uint32_t, 2>{0, 1000}));
    EXPECT_EQ(Saved(opened), bytes);  // with the two hand-read words above: every sample back

    // An empty document's file empties the document it is opened into.
    CZefraKrgDoc cleared;
    cleared.SampleCount[0] = 3;
    ASSERT_TRUE(OpenDocumentBytes(cleared, Saved(CZefraKrgDoc{})).Ok());
    ExpectEmpty(cleared);

    CZefraKrgDoc big;
    Fill(big, 0, {0, 1, 0, 0, 0, 1, 1, 0}, 300'000);
    std::mt19937 rng(3);
    for (int32_t& sample : std::span(big.Samples[0][6].Data(), 300'000)) {
        sample = static_cast<int32_t>(rng());
    }
    CZefraKrgDoc back;
    ASSERT_TRUE(OpenDocumentBytes(back, Saved(big)).Ok());
    EXPECT_EQ(back.SampleCount[0], 300'000u);
    EXPECT_EQ(back.SetCapacity(0), 300'000u);
    EXPECT_EQ(back.Column(0, 5)[299'999], big.Samples[0][5][299'999]);
    // The summaries built in one pass over the interleaved scans answer as a plain walk.
    const auto store = back.Store(0);
    for (int input : {1, 5, 6}) {
        for (uint32_t from : {0u, 31u, 100'000u}) {
            const uint32_t to = 300'000 - from / 3;
            EXPECT_EQ(store->Summary(input).Query(back.Column(0, input), from, to),
                      ScanSampleRange(big.Samples[0][input].Data(), from, to));
        }
    }
}

TEST(KgdFileTest, AFileCutShortUnderTheProgramGivesTheFileError) {
    TempFolder folder;
    const std::string path = folder.File("pomiar.kgd");
    CZefraKrgDoc doc;
    Fill(doc, 0, {1, 1, 1, 1, 1, 1, 1, 1}, 100'000);  // 3.2 MB
    ASSERT_TRUE(SaveDocument(doc, path).Ok());
    CZefraKrgDoc opened;
    ASSERT_TRUE(OpenDocument(opened, path).Ok());
    EXPECT_FALSE(opened.CheckSamples());
    // Another program cuts the file: reading what went is zeros and the file's message, never
    // the end of the program.
    ASSERT_EQ(::truncate(path.c_str(), 8192), 0);
    EXPECT_EQ(opened.Column(0, 7)[99'999], 0);
    const std::string copy = folder.File("kopia.kgd");
    const FileResult saved = SaveDocument(opened, copy);
    EXPECT_EQ(saved.Code, FileReadError);
    EXPECT_EQ(*saved.Message, ReadFailed);
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(*opened.CheckSamples(), ReadFailed);
    EXPECT_EQ(ExportAscii(opened, folder.File("x.dat"), false, {true}).Code, FileReadError);
}

// A small valid file: set 0, inputs 0 and 2, ten scans.
std::vector<uint8_t> SmallFile() {
    CZefraKrgDoc doc;
    Fill(doc, 0, {1, 0, 1, 0, 0, 0, 0, 0}, 10);
    return Saved(doc);
}

TEST(KgdFileTest, BrokenFilesAreRefusedWithoutLargeAllocationsOtherTextLengthsAccepted) {
    const std::vector<uint8_t> good = SmallFile();
    ASSERT_EQ(good.size(), 378u + 80u);
    auto with = [&](std::size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = good;
        PutU32(bytes, at, value);
        return bytes;
    };
    auto cut = [&](std::size_t size) {
        return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(size));
    };
    std::vector<uint8_t> noInputs = with(80, 300'000);
    std::fill(noInputs.begin() + 16, noInputs.begin() + 48, 0);
    struct Broken {
        const char* What;
        std::vector<uint8_t> Bytes;
        int Code;
        UserMessage Message;
    };
    const std::vector<Broken> cases = {
        {"empty", {}, FileTruncated, Unknown},
        {"wrong magic", with(4, 0xA45D8F1D), FileBadFormat, BadFormat},
        {"version 7", with(8, 7), FileBadFormat, BadFormat},
        {"header size 377", with(0, 377), FileBadHeaderLength, BadFormat},
        {"header cut", cut(100), FileTruncated, Unknown},
        {"samples cut", cut(good.size() - 1), FileTruncated, Unknown},
        {"set 2", with(12, 2), FileBadFormat, BadFormat},
        {"count past 32-bit scan times", with(80, 0xFFFFFFFF), FileBadFormat, BadFormat},
        // A count that fits, whose last scan time (2^30 x 2 inputs) does not.
        {"last scan time past 32 bits", with(80, 0x40000001), FileBadFormat, BadFormat},
        {"count without inputs", noInputs, FileBadFormat, BadFormat},
        {"text length past the file", with(119, 0xFFFFFFFF), FileTruncated, Unknown},
    };
    for (const Broken& broken : cases) {
        SCOPED_TRACE(broken.What);
        CZefraKrgDoc doc;
        std::size_t largest = 0;
        doc.Allocation = [&](std::size_t entries) {
            largest = std::max(largest, entries);
            return true;
        };
        const AcquisitionParams before = doc.Params[1];
        const FileResult result = OpenDocumentBytes(doc, broken.Bytes);
        EXPECT_EQ(result.Code, broken.Code);
        ASSERT_TRUE(result.Message);
        EXPECT_EQ(*result.Message, broken.Message);
        EXPECT_EQ(doc.LoadResult, static_cast<uint32_t>(broken.Code));
        EXPECT_EQ(largest, 0u);
        EXPECT_EQ(doc.Params[1], before);
        ExpectEmpty(doc);
    }

    // Magic and version are judged on the first twelve bytes alone.
    const std::vector<uint8_t> version7 = with(8, 7);
    MemorySource source(version7);
    CZefraKrgDoc doc;
    EXPECT_EQ(LoadFromArchive(doc, source).Code, FileBadFormat);
    EXPECT_EQ(source.Position(), 12u);

    // Another writer's shorter text is accepted when the header length agrees with it.
    std::vector<uint8_t> shortText(good.begin(), good.begin() + 123 + 10);
    shortText.insert(shortText.end(), good.begin() + 378, good.end());
    PutU32(shortText, 0, 133);
    PutU32(shortText, 119, 10);
    ASSERT_TRUE(OpenDocumentBytes(doc, shortText).Ok());
    EXPECT_EQ(doc.Column(0, 2)[9], static_cast<int32_t>(3 * 100000 + 9) * -1);

    // A count the machine cannot hold is refused after the file proved it real.
    CZefraKrgDoc big;
    Fill(big, 0, {0, 1, 0, 0, 0, 0, 0, 0}, 250'000);
    CZefraKrgDoc poor;
    poor.Allocation = [](std::size_t entries) { return entries <= BaseCapacity; };
    const FileResult result = OpenDocumentBytes(poor, Saved(big));
    EXPECT_EQ(result.Code, FileBadFormat);
    EXPECT_EQ(*result.Message, BadFormat);
    ExpectEmpty(poor);
}

// A source whose reads fail with EIO past a byte.
class FailingSource final : public ByteSource {
  public:
    FailingSource(std::span<const uint8_t> bytes, std::size_t failAt)
        : size_(bytes.size()), in_(bytes.first(failAt)) {}
    uint64_t Size() const override { return size_; }
    std::size_t Read(void* data, std::size_t n) override {
        const std::size_t got = in_.Read(data, n);
        error_ = got < n ? EIO : error_;
        return got;
    }
    int Error() const override { return error_; }

  private:
    uint64_t size_;
    MemorySource in_;
    int error_ = 0;
};

TEST(KgdFileTest, ReadFailures) {
    for (auto [failAt, code] : {std::pair{200, FileTextError}, std::pair{400, FileReadError}}) {
        CZefraKrgDoc doc;
        const std::vector<uint8_t> good = SmallFile();
        FailingSource source(good, static_cast<std::size_t>(failAt));
        const FileResult result = LoadFromArchive(doc, source);
        EXPECT_EQ(result.Code, code);
        EXPECT_EQ(*result.Message, ReadFailed);
        ExpectEmpty(doc);
    }
    TempFolder folder;
    for (const std::string& path : {folder.File("brak.kgd"), folder.Path.string()}) {
        CZefraKrgDoc doc;
        const FileResult result = OpenDocument(doc, path);
        EXPECT_EQ(result.Code, FileOpenError);
        EXPECT_EQ(*result.Message,
                  (UserMessage{"Błąd odczytu pliku", "Nie można otworzyć pliku " + path + ".",
                               MessageIcon::Stop}));
    }
}

TEST(KgdFileTest, FailedSaveLeavesThePreviousFile) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string path = folder.File("pomiar.kgd");
    const std::vector<uint8_t> old = {'s', 't', 'a', 'r', 'y'};
    WriteBytes(path, old);
    CZefraKrgDoc doc;
    Fill(doc, 0, {1, 1, 1, 1, 1, 1, 1, 1}, 100'000);  // 3.2 MB: several blocks

    struct Fault {
        int Error;
        uint64_t Offset;
        UserMessage Message;
    };
    for (const Fault& fault : {Fault{ENOSPC, 0, DiskFull}, Fault{EDQUOT, 1 << 20, DiskFull},
                               Fault{EIO, 2 << 20, WriteFailed}}) {
        const FileResult result = SaveDocument(doc, path, [&](uint64_t offset, std::size_t) {
            return offset >= fault.Offset ? fault.Error : 0;
        });
        EXPECT_EQ(result.Code, FileWriteError);
        ASSERT_TRUE(result.Message);
        EXPECT_EQ(*result.Message, fault.Message);
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"pomiar.kgd"});
    }

    if (::geteuid() != 0) {  // root writes into read-only files
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(SaveDocument(doc, path).Code, FileWriteError);
        EXPECT_EQ(ReadBytes(path), old);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    }
    {
        // A folder that takes no new file: its writable file is written in place, and a shorter
        // document cuts it to its own length.
        const FolderLock lock(folder.Path);
        if (lock.Locked()) {
            ASSERT_TRUE(SaveDocument(doc, path).Ok());
            CZefraKrgDoc small;
            Fill(small, 0, {1, 0, 0, 0, 0, 0, 0, 0}, 10);
            ASSERT_TRUE(SaveDocument(small, path).Ok());
            EXPECT_EQ(ReadBytes(path), Saved(small));
            EXPECT_EQ(SaveDocument(doc, folder.File("nowy.kgd")).Code, FileWriteError);
        }
    }

    // A good save through a link replaces the file the link names and keeps its permissions.
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, mode);
    const std::string link = folder.File("skrot.kgd");
    fs::create_symlink(path, link);
    ASSERT_TRUE(SaveDocument(doc, link).Ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(path).size(), 378u + 100'000u * 8 * 4);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
    EXPECT_EQ(folder.Entries().size(), 2u);
}

}  // namespace
}  // namespace kresograf
