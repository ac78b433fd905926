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
    EXPECT_EQ(Read("1.5 -2\n3e-1\n", false).Analog, (std::vector<float>{1.5f, -2.0f, 0.3f}));
    EXPECT_EQ(ReadCountLabel(3), "Odczytano poprawnie 3 danych.");
    // Hexadecimal reading stops at the decimal point.
    EXPECT_EQ(Read("1.5 -2\n3e-1\n", true).Bytes, std::vector<uint8_t>{1});

    EXPECT_EQ(Read("ff\t100\r\n0x1F ABCDEF -1", true).Bytes,
              (std::vector<uint8_t>{0xFF, 0x00, 0x1F, 0xEF, 0xFF}));

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
