#include "shell/window_titles.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

TEST(WindowTitlesTest, PlotAndMainWindowCaptions) {
    EXPECT_EQ(PlotWindowTitle("Kresograf1", 0, 1), "Kresograf1");
    EXPECT_EQ(PlotWindowTitle("pomiar.kgd", 1, 2), "pomiar.kgd:2");
    EXPECT_EQ(MainWindowTitle("", false), "Kresograf dla QB730");
    EXPECT_EQ(MainWindowTitle("Kresograf1", false), "Kresograf dla QB730 - Kresograf1");
    EXPECT_EQ(MainWindowTitle("pomiar.kgd:2", true), "Kresograf dla QB730 - [pomiar.kgd:2]");
}

}  // namespace
}  // namespace kresograf
