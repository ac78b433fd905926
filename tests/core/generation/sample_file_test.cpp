#include "generation/sample_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "document/file_test_support.h"

namespace kresograf {
namespace {

SampleFile Read(const std::string& text, bool digital) {
    std::istringstream in(text);
    return ReadSamples(in, digital);
}

TEST(SampleFileTest, FormsFilesLimitsAndMessages) {
    const SampleFile analog = Read("1.5 -2\n3e-1\n", false);
    ASSERT_EQ(analog.Count(), 3u);
    EXPECT_EQ(analog.Analog[0], 1.5f);
    EXPECT_EQ(analog.Analog[1], -2.0f);
    EXPECT_EQ(analog.Analog[2], 0.3f);
    EXPECT_EQ(ReadCountLabel(analog.Count()), "Odczytano poprawnie 3 danych.");

    // Hexadecimal reading stops at the decimal point.
    const SampleFile one = Read("1.5 -2\n3e-1\n", true);
    ASSERT_EQ(one.Count(), 1u);
    EXPECT_EQ(one.Bytes[0], 1);

    const SampleFile bytes = Read("ff\t100\r\n0x1F ABCDEF -1", true);
    EXPECT_EQ(bytes.Bytes, (std::vector<uint8_t>{0xFF, 0x00, 0x1F, 0xEF, 0xFF}));

    // A word first: nothing for the analog output, a number for the digital one.
    EXPECT_EQ(Read("Kanal1 1.0 2.0", false).Count(), 0u);
    EXPECT_EQ(Read("face 1", true).Bytes, (std::vector<uint8_t>{0xCE, 0x01}));

    filetest::TempFolder folder;
    const std::string big = folder.File("duzy.dat");
    {
        std::ofstream out(big);
        for (int i = 0; i < 150'000; ++i) {
            out << (i % 7) << '\n';
        }
    }
    SampleFile samples;
    UserMessage message;
    ASSERT_TRUE(ReadSampleFile(big, false, samples, message));
    EXPECT_EQ(samples.Count(), 120'000u);
    EXPECT_EQ(samples.Analog[119'999], 119'999 % 7);

    const std::string empty = folder.File("pusty.dat");
    std::ofstream(empty).close();
    EXPECT_FALSE(ReadSampleFile(empty, true, samples, message));
    EXPECT_EQ(message, (UserMessage{"Brak danych", "Brak poprawnie odczytanych danych.",
                                    MessageIcon::Exclamation}));

    for (const std::string& path : {folder.File("brak.dat"), folder.Path.string()}) {
        EXPECT_FALSE(ReadSampleFile(path, false, samples, message));
        EXPECT_EQ(message,
                  (UserMessage{"Błąd pliku", "Błąd podczas próby otwarcia pliku do odczytu.",
                               MessageIcon::Stop}));
    }
}

}  // namespace
}  // namespace kresograf
