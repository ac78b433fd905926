#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "acquisition/params_pages.h"
#include "base/translation.h"
#include "shell/acquisition_options.h"
#include "shell/window_titles.h"
#include "view/channel_menu.h"
#include "view/marker_texts.h"

namespace kresograf {
namespace {

TEST(FillTextTest, PlaceholdersInOrderByNumberAndPercent) {
    EXPECT_EQ(FillText("Kanał %s: %s V", {"3", "-1.500"}), "Kanał 3: -1.500 V");
    // A translation may put the values in another order.
    EXPECT_EQ(FillText("%2$s of channel %1$s", {"3", "Markers"}), "Markers of channel 3");
    EXPECT_EQ(FillText("Wypełnienie: %s %%", {"50"}), "Wypełnienie: 50 %");
    // A placeholder without its value is left out; a lone or unknown one stays as written.
    EXPECT_EQ(FillText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FillText("100 % %d %", {}), "100 % %d %");
}

// The texts core builds for display follow the catalogue of the user's language. The test
// process is left as it started: C locale (no translation) and its own environment.
class EnglishTextsTest : public ::testing::Test {
  protected:
    void SetUp() override { Choose("en"); }
    void TearDown() override {
        Restore("LANGUAGE", language_);
        Restore("LC_ALL", locale_);
        std::setlocale(LC_ALL, "C");
    }
    static void Choose(const char* language) {
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("LANGUAGE", language, 1);
        InitTranslations(KRESOGRAF_CATALOGUE_ROOT);
    }

  private:
    static std::optional<std::string> Saved(const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    std::optional<std::string> language_ = Saved("LANGUAGE");
    std::optional<std::string> locale_ = Saved("LC_ALL");
};

TEST_F(EnglishTextsTest, CoreBuiltTextsAreEnglish) {
    ASSERT_EQ(CurrentLanguage(), "en");
    EXPECT_STREQ(Tr("&Plik"), "&File");
    EXPECT_EQ(MainWindowTitle("a.kgd", true), "Kresograf for QB730 - [a.kgd]");
    EXPECT_EQ(ChannelItemText(ChannelMenu::Active, 4), "Channel &5\t5");
    EXPECT_EQ(ChannelItemText(ChannelMenu::RightAxis, 0), "Channel &1\tCtrl+1");
    EXPECT_EQ(ChannelName(2), "Channel 2");
    const MarkerItemTexts items = FormatMarkerItems({0, true, 1.0f, 0.5f, 3.5f, -0.25f, false});
    EXPECT_EQ(items.Left, "Left: x = 1.000 ms   y = 0.500 V");
    EXPECT_EQ(items.Delta, "Delta: x = 2.500 ms  y = -0.750 V");
    AcquisitionOptions options;
    std::string error;
    EXPECT_FALSE(options.Take("--threshold", "7", error));
    EXPECT_EQ(error, "Invalid trigger threshold: \"7\" (volts, -5 to 5).");
}

TEST_F(EnglishTextsTest, OtherLanguagesKeepThePolishTexts) {
    Choose("de");
    EXPECT_EQ(CurrentLanguage(), "pl");
    EXPECT_EQ(ChannelName(2), "Kanał 2");
    EXPECT_EQ(MarkerChannelNodeText(0), "Znaczniki kanału 1");
}

}  // namespace
}  // namespace kresograf
