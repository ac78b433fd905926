#include "shell/start_options.h"

#include <gtest/gtest.h>

namespace kresograf {
namespace {

TEST(StartOptionsTest, FileCardRenderAndRefusals) {
    StartOptions options;
    std::string error;
    ASSERT_TRUE(ParseStartOptions(
        {"pomiar.kgd", "--card", "ports", "--address", "0x300", "--no-splash"}, options, error));
    EXPECT_EQ(options.File, "pomiar.kgd");
    EXPECT_EQ(options.Card.Kind, CardKind::Ports);
    EXPECT_EQ(options.Card.Address.value_or(0), 0x300u);
    EXPECT_FALSE(options.Splash);

    StartOptions render;
    ASSERT_TRUE(
        ParseStartOptions({"--render", "a.kgd", "b.png", "--size", "800x500"}, render, error));
    EXPECT_TRUE(render.Render);
    EXPECT_EQ(render.RenderInput, "a.kgd");
    EXPECT_EQ(render.RenderOutput, "b.png");
    EXPECT_EQ(render.RenderWidth, 800);
    EXPECT_EQ(render.RenderHeight, 500);
    StartOptions spectrum;
    ASSERT_TRUE(ParseStartOptions({"--render-spectrum", "a.kgd", "w.png", "--channel", "2"},
                                  spectrum, error));
    EXPECT_TRUE(spectrum.RenderSpectrum && !spectrum.Render);
    EXPECT_EQ(spectrum.RenderOutput, "w.png");
    EXPECT_EQ(spectrum.SpectrumChannel, 2);
    StartOptions print;
    ASSERT_TRUE(ParseStartOptions({"--size", "Letter", "--print", "a.kgd", "b.pdf"}, print, error));
    EXPECT_TRUE(print.Print);
    EXPECT_FALSE(print.Render);
    EXPECT_EQ(print.PrintInput, "a.kgd");
    EXPECT_EQ(print.PrintOutput, "b.pdf");
    EXPECT_EQ(print.Paper, PaperSize::Letter);
    StartOptions a4;
    ASSERT_TRUE(ParseStartOptions({"--print", "a.kgd", "b.pdf"}, a4, error));
    EXPECT_EQ(a4.Paper, PaperSize::A4);
    StartOptions plain;
    ASSERT_TRUE(ParseStartOptions({}, plain, error));
    EXPECT_EQ(plain.Card.Kind, CardKind::Simulated);

    const std::vector<std::vector<std::string>> bad = {
        {"--card", "isa"},
        {"--address"},
        {"--address", "0x10000"},
        {"--size", "0x10"},
        {"--size", "800"},
        {"--size", "800x99999"},
        {"--size", "x5"},
        {"--render", "a.kgd"},
        {"--fast"},
        {"a.kgd", "b.kgd"},
        {"--print", "a.kgd", "b.pdf", "--size", "800x500"},
        {"--print", "a.kgd"},
        {"--print", "a.kgd", "b.pdf", "--render", "a.kgd", "b.png"},
        {"--render", "a.kgd", "b.png", "--size", "A4"},
        {"--render-spectrum", "a.kgd", "w.png", "--channel", "9"},
        {"--render-spectrum", "a.kgd", "w.png", "--render", "a.kgd", "b.png"},
        {"--render", "a.kgd", "b.png", "--channel", "1"}};
    for (const auto& arguments : bad) {
        StartOptions o;
        std::string message;
        EXPECT_FALSE(ParseStartOptions(arguments, o, message)) << arguments[0];
        EXPECT_FALSE(message.empty());
    }
    StartOptions o;
    EXPECT_FALSE(ParseStartOptions({"--card", "isa"}, o, error));
    EXPECT_EQ(error, "Niepoprawny rodzaj karty: \"isa\" (dozwolone: simulated, ports).");
}

}  // namespace
}  // namespace kresograf
