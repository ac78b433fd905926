#include "shell/properties_values.h"

#include <gtest/gtest.h>

#include "shell/window_titles.h"

namespace kresograf {
namespace {

TEST(PropertiesValuesTest, AddressBlocksGainsAndPreview) {
    const auto items = AddressItems();
    ASSERT_EQ(items.size(), 64u);
    EXPECT_EQ(items[0], "000 - 009");
    EXPECT_EQ(items[16], "100 - 109");
    EXPECT_EQ(items[63], "3F0 - 3F9");
    // An address inside a block shows the block and is stored as its start.
    EXPECT_EQ(AddressIndex(0x105), 16);
    EXPECT_EQ(AddressOfIndex(AddressIndex(0x105), 0x105), 0x100u);
    EXPECT_EQ(AddressOfIndex(63, 0), 0x3F0u);
    EXPECT_EQ(AddressIndex(0x400), -1);
    EXPECT_EQ(AddressOfIndex(-1, 0x400), 0x400u);

    EXPECT_EQ(GainChoice(0x80), 1);
    EXPECT_EQ(GainChoice(0x7F), 0);
    EXPECT_EQ(GainChoice(0xC1), 1);
    EXPECT_EQ(GainOfChoice(1), 0x80);
    EXPECT_EQ(GainOfChoice(0), 0);

    const PreviewLines lines = PreviewGeometry(100, 50);
    EXPECT_EQ(lines.TraceY, 25);
    EXPECT_EQ(lines.GridY, (std::array<int, 2>{17, 33}));
    EXPECT_EQ(lines.GridX, (std::array<int, 2>{33, 67}));
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
