#include "document/ascii_export.h"
#include "base/fixed_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "base/rate_table.h"
#include "file_test_support.h"

namespace kresograf {
namespace {

using filetest::ReadBytes;
using filetest::TempFolder;

std::string Written(const CZefraKrgDoc& doc, bool writeTime, std::array<bool, 8> channels) {
    VectorSink sink;
    const FileResult result = WriteAscii(doc, sink, writeTime, channels);
    EXPECT_TRUE(result.Ok());
    return std::string(sink.Bytes.begin(), sink.Bytes.end());
}

// Three present inputs 0, 2, 5 with scan times 0, 3, 6 in the current set.
void FillThree(CZefraKrgDoc& doc, uint32_t set) {
    doc.ReserveShotSet(set);
    doc.CurrentSet = set;
    doc.ChannelPresent[set] = {1, 0, 1, 0, 0, 1, 0, 0};
    for (uint32_t i = 0; i < 3; ++i) {
        doc.ScanTime[set][i] = static_cast<int32_t>(3 * i);
        doc.Samples[set][0][i] = 4096;
        doc.Samples[set][2][i] = -2048;
        doc.Samples[set][5][i] = static_cast<int32_t>(i);
    }
    doc.SampleCount[set] = 3;
}

TEST(AsciiExportTest, LinesAndTimeColumn) {
    CZefraKrgDoc doc;
    FillThree(doc, 0);
    EXPECT_EQ(Written(doc, false, {true, false, true}),
              "1.000\t-0.500\t\r\n1.000\t-0.500\t\r\n1.000\t-0.500\t\r\n");

    // "1 / 10 Hz": one stored conversion per 10 s, so three inputs' scans are 30 s apart.
    AcquisitionParams registered{.Divisor = 160000, .Prescaler = 500};
    doc.Register(registered, TriggerParams{});
    EXPECT_EQ(Written(doc, true, {false, false, false, false, false, true}),
              "0.00\t0.000\t\r\n30000.00\t0.000\t\r\n60000.00\t0.000\t\r\n");
    registered.Prescaler = 1;
    // The time follows the registered block whichever set is shown, never the working one.
    doc.Params[0].Divisor = 84;
    registered.Divisor = 16000;
    doc.Register(registered, TriggerParams{});
    CZefraKrgDoc other;
    FillThree(other, 1);
    other.Params[0].Divisor = 84;
    other.Register(registered, TriggerParams{});
    for (const CZefraKrgDoc* d : {&doc, &other}) {
        EXPECT_EQ(Written(*d, true, {false, false, true}),
                  "0.00\t-0.500\t\r\n6.00\t-0.500\t\r\n12.00\t-0.500\t\r\n");
    }

    EXPECT_EQ(Written(doc, false, {false, true, true}), "-0.500\t\r\n-0.500\t\r\n-0.500\t\r\n");

    // 95 000 Hz: the factor 84 / 8000 in single precision is just below 0.0105, so the scan at
    // 30 conversions reads 0.31 ms, as every export has written it, not 0.32.
    registered.Divisor = 84;
    doc.Register(registered, TriggerParams{});
    // The product is taken in double: in single precision the late scan would read 1296296.25.
    doc.ScanTime[0][1] = 30;
    doc.ScanTime[0][2] = 123'456'789;
    EXPECT_EQ(Written(doc, true, {true}),
              "0.00\t1.000\t\r\n0.31\t1.000\t\r\n1296296.27\t1.000\t\r\n");
}

TEST(AsciiExportTest, RowsAndRefusals) {
    const std::vector<ExportRow> rows = ExportRows({0, 1, 0, 1, 0, 0, 1, 0});
    EXPECT_EQ(rows, (std::vector<ExportRow>{{"Kanał 2", 1}, {"Kanał 4", 3}, {"Kanał 7", 6}}));

    TempFolder folder;
    const std::string path = folder.File("dane.dat");
    CZefraKrgDoc doc;
    FileResult result = ExportAscii(doc, path, true, {true});
    EXPECT_EQ(result.Code, FileNoData);
    EXPECT_EQ(*result.Message, (UserMessage{"Brak danych", "Brak danych do wyeksportowania.",
                                            MessageIcon::Exclamation}));
    EXPECT_EQ(ExportPrecheck(doc), result.Message);

    FillThree(doc, 0);
    EXPECT_FALSE(ExportPrecheck(doc));
    result = ExportAscii(doc, path, true, {false, true, false, true});
    EXPECT_EQ(result.Code, FileNoChannels);
    EXPECT_EQ(*result.Message, (UserMessage{"Brak danych", "Nie wybrano danych do wyeksportowania.",
                                            MessageIcon::Exclamation}));
    EXPECT_TRUE(folder.Entries().empty());

    const UserMessage cannotOpen{"Błąd pliku", "Błąd podczas próby otwarcia pliku do zapisu.",
                                 MessageIcon::Stop};
    EXPECT_FALSE(ExportTargetCheck(path));
    // The export's failures (open, write, cancel) are the data export's test.
    EXPECT_EQ(ExportTargetCheck(folder.File("brak/dane.dat")), cannotOpen);
    ASSERT_TRUE(ExportAscii(doc, path, false, {true}).Ok());
    const std::vector<uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1.000\t\r\n1.000\t\r\n1.000\t\r\n");
}

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Formatted(double value, int precision) {
    char text[64];
    return std::string(text, FormatFixed(text, text + sizeof text, value, precision));
}

std::string Volts(int32_t sample) {
    char text[16];
    return std::string(text, FormatVolts(text, sample));
}

TEST(AsciiExportTest, FormattingMatchesPrintfInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    // Every value a card delivers, at either gain.
    for (int count = -2048; count <= 2047; ++count) {
        for (int32_t stored : {count * 10, count}) {
            const double volts = stored * (1.0 / 4096.0);
            ASSERT_EQ(Volts(stored), Printf("%.3f", volts)) << stored;
            ASSERT_EQ(Formatted(volts, 3), Printf("%.3f", volts)) << stored;
        }
    }
    for (const RateEntry& row : RateTable()) {
        const float msPerTick = static_cast<float>(row.Divisor / 8000.0);
        for (int32_t t = 0; t < 2000; ++t) {
            const double ms = t * static_cast<double>(msPerTick);
            ASSERT_EQ(Formatted(ms, 2), Printf("%.2f", ms)) << row.Divisor << " " << t;
        }
        const double far = std::numeric_limits<int32_t>::max() * static_cast<double>(msPerTick);
        ASSERT_EQ(Formatted(far, 2), Printf("%.2f", far)) << row.Divisor;
    }
    for (int32_t sample :
         {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        ASSERT_EQ(Volts(sample), Printf("%.3f", sample * (1.0 / 4096.0))) << sample;
    }
}

TEST(AsciiExportTest, PointDecimalsUnderAnyLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "pl_PL.UTF-8") == nullptr &&
        std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    CZefraKrgDoc doc;
    FillThree(doc, 0);
    doc.Register(AcquisitionParams{}, TriggerParams{});
    const std::string table = Written(doc, true, {true, false, true, false, false, true});
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(table.substr(0, 28), "0.00\t1.000\t-0.500\t0.000\t\r\n3.");
    EXPECT_EQ(table.find(','), std::string::npos);
}

}  // namespace
}  // namespace kresograf
