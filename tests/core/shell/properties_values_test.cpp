#include "shell/properties_values.h"

#include <gtest/gtest.h>

#include <tuple>

#include "shell/window_titles.h"

namespace kresograf {
namespace {

TEST(PropertiesValuesTest, AddressBlocksGainsAndPreview) {
    const auto items = AddressItems();
    ASSERT_EQ(items.size(), 64u);
    EXPECT_EQ(std::tie(items[0], items[16], items[63]),
              std::tuple("000 - 009", "100 - 109", "3F0 - 3F9"));
    // An address inside a block shows the block and is stored as its start.
    EXPECT_EQ(AddressIndex(0x105), 16);
    EXPECT_EQ(AddressOfIndex(AddressIndex(0x105), 0x105), 0x100u);
    EXPECT_EQ(AddressOfIndex(63, 0), 0x3F0u);
    EXPECT_EQ(AddressIndex(0x400), -1);
    EXPECT_EQ(AddressOfIndex(-1, 0x400), 0x400u);

    EXPECT_EQ(std::tuple(GainChoice(0x80), GainChoice(0x7F), GainChoice(0xC1)),
              std::tuple(1, 0, 1));
    EXPECT_EQ(std::tuple(GainOfChoice(1), GainOfChoice(0)), std::tuple(0x80, 0));

    const PreviewLines lines = PreviewGeometry(100, 50);
    EXPECT_EQ(std::tie(lines.TraceY, lines.GridY, lines.GridX),
              std::tuple(25, std::array{17, 33}, std::array{33, 67}));
}

TEST(WindowTitlesTest, PlotAndMainWindowCaptions) {
    EXPECT_EQ(PlotWindowTitle("Kresograf1", 0, 1), "Kresograf1");
    EXPECT_EQ(PlotWindowTitle("pomiar.kgd", 1, 2), "pomiar.kgd:2");
    EXPECT_EQ(MainWindowTitle("", false), "Kresograf dla QB730");
    EXPECT_EQ(MainWindowTitle("Kresograf1", false), "Kresograf dla QB730 - Kresograf1");
    EXPECT_EQ(MainWindowTitle("pomiar.kgd:2", true), "Kresograf dla QB730 - [pomiar.kgd:2]");
}

}  // namespace
}  // namespace kresograf
