#include "document/data_export.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include "document/csv_export.h"
#include "file_test_support.h"

namespace kresograf {
namespace {

using filetest::FolderLock;
using filetest::ReadBytes;
using filetest::TempFolder;
using filetest::WriteBytes;

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Inputs 1, 3 and 6 over three scans at 95 000 Hz; the third scan lies far out.
void FillThree(CZefraKrgDoc& doc) {
    doc.ReserveShotSet(0);
    doc.ChannelPresent[0] = {1, 0, 1, 0, 0, 1, 0, 0};
    const int32_t samples[3][3] = {{4096, -2048, 1}, {-1, INT32_MIN, 12291}, {128, INT32_MAX, 384}};
    const int32_t ticks[3] = {0, 3, 123'456'789};
    for (uint32_t i = 0; i < 3; ++i) {
        doc.ScanTime[0][i] = ticks[i];
        doc.Samples[0][0][i] = samples[i][0];
        doc.Samples[0][2][i] = samples[i][1];
        doc.Samples[0][5][i] = samples[i][2];
    }
    doc.SampleCount[0] = 3;
    doc.Register(AcquisitionParams{.Divisor = 84, .Prescaler = 1}, TriggerParams{});
}

TEST(DataExportTest, CsvGivesTheSamplesBackAndTheExactTime) {
    CZefraKrgDoc doc;
    FillThree(doc);
    VectorSink sink;
    ASSERT_TRUE(WriteCsv(ExportTable(doc, {true, true, true, true, true, true}), sink, true).Ok());
    // Four decimals rounded as printf does (0.03125 to even); times to the clock period.
    EXPECT_EQ(Text(sink.Bytes),
              "czas [ms],kanał 1 [V],kanał 3 [V],kanał 6 [V]\n"
              "0.000000,1.0000,-0.5000,0.0002\n"
              "0.031500,-0.0002,-524288.0000,3.0007\n"
              "1296296.284500,0.0312,524287.9998,0.0938\n");
    sink.Bytes.clear();
    ASSERT_TRUE(WriteCsv(ExportTable(doc, {false, false, true}), sink, false).Ok());
    EXPECT_EQ(Text(sink.Bytes), "kanał 3 [V]\n-0.5000\n-524288.0000\n524287.9998\n");

    // Times beyond 64 bits, from a file's arbitrary block.
    char out[48];
    const ClockPeriods huge = ClockPeriods{INT32_MAX} * UINT32_MAX * UINT32_MAX;
    EXPECT_EQ(std::string(out, FormatMilliseconds(out, huge)), "4951760152529835082511286.271875");
    EXPECT_EQ(std::string(
                  out, FormatMilliseconds(out, ClockPeriods{INT32_MIN} * UINT32_MAX * UINT32_MAX)),
              "-4951760154835678090651238.400000");
}

TEST(DataExportTest, FormatFromNameOrExtension) {
    EXPECT_EQ(ParseExportFormat("text"), ExportFormat::Text);
    EXPECT_EQ(ParseExportFormat("csv"), ExportFormat::Csv);
    EXPECT_EQ(ParseExportFormat("hdf5"), ExportFormat::Hdf5);
    EXPECT_EQ(ParseExportFormat("h5"), std::nullopt);
    EXPECT_EQ(ExportFormatOf("/tmp/run.CSV"), ExportFormat::Csv);
    EXPECT_EQ(ExportFormatOf("run.h5"), ExportFormat::Hdf5);
    EXPECT_EQ(ExportFormatOf("run.Hdf5"), ExportFormat::Hdf5);
    EXPECT_EQ(ExportFormatOf("csv"), ExportFormat::Text);
    EXPECT_EQ(ExportFormatOf("run.h55"), ExportFormat::Text);
}

TEST(DataExportTest, CancelFailureOrUnwritableTargetLeavesNoPartialFile) {
    CZefraKrgDoc doc;
    FillThree(doc);
    TempFolder folder;
    for (const ExportFormat format : {ExportFormat::Text, ExportFormat::Csv, ExportFormat::Hdf5}) {
        SCOPED_TRACE(static_cast<int>(format));
        const std::string path = folder.File("dane");
        WriteBytes(path, {'x'});
        const ExportRequest request{format, true, {true, false, true}, "dane.kgd"};

        FileResult result =
            ExportData(doc, path, request, [](uint64_t, uint64_t) { return false; });
        EXPECT_EQ(result.Code, FileCancelled);
        EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>{'x'});
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"dane"});

        result = ExportData(doc, path, request, {}, [](uint64_t, std::size_t) { return ENOSPC; });
        EXPECT_EQ(result.Code, FileWriteError);
        EXPECT_EQ(result.Message->Text,
                  "Wystąpił błąd podczas zapisu do pliku. Brak miejsca na dysku.");
        EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>{'x'});
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"dane"});

        result = ExportData(doc, folder.File("brak/dane"), request);
        EXPECT_EQ(result.Code, FileOpenError);
        EXPECT_EQ(result.Message->Text, "Błąd podczas próby otwarcia pliku do zapisu.");

        uint64_t last = 0;
        result = ExportData(doc, path, request, [&last](uint64_t done, uint64_t total) {
            EXPECT_EQ(total, 3u);
            last = done;
            return true;
        });
        EXPECT_TRUE(result.Ok());
        EXPECT_EQ(last, 3u);
        EXPECT_GT(ReadBytes(path).size(), 20u);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"dane"});

        // A folder that takes no new file: the writable target is written in place.
        WriteBytes(path, std::vector<uint8_t>(100'000, 'x'));
        const FolderLock lock(folder.Path);
        if (lock.Locked()) {
            ASSERT_TRUE(ExportData(doc, path, request).Ok());
            const std::vector<uint8_t> bytes = ReadBytes(path);
            EXPECT_EQ(Text({bytes.begin(), bytes.begin() + 4}),
                      format == ExportFormat::Hdf5  ? "\x89HDF"
                      : format == ExportFormat::Csv ? "czas"
                                                    : "0.00");
            EXPECT_LT(bytes.size(), 100'000u);
        }
    }
}

}  // namespace
}  // namespace kresograf
