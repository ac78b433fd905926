#include "shell/start_options.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kresograf {
namespace {

TEST(StartOptionsTest, FileCardRenderAndRefusals) {
    std::string error;
    StartOptions o;
    ASSERT_TRUE(ParseStartOptions(
        {"pomiar.kgd", "--card", "ports", "--address", "0x300", "--no-splash"}, o, error));
    EXPECT_EQ(std::tie(o.File, o.Card.Kind, o.Card.Address, o.Splash),
              std::tuple("pomiar.kgd", CardKind::Ports, 0x300u, false));
    StartOptions plain;
    ASSERT_TRUE(ParseStartOptions({}, plain, error));
    EXPECT_EQ(plain.Card.Kind, CardKind::Simulated);

    StartOptions r;
    ASSERT_TRUE(ParseStartOptions({"--render", "a.kgd", "b.png", "--size", "800x500"}, r, error));
    EXPECT_EQ(std::tie(r.Render, r.RenderInput, r.RenderOutput, r.RenderWidth, r.RenderHeight),
              std::tuple(true, "a.kgd", "b.png", 800, 500));
    StartOptions w;
    ASSERT_TRUE(
        ParseStartOptions({"--render-spectrum", "a.kgd", "w.png", "--channel", "2"}, w, error));
    EXPECT_EQ(std::tie(w.RenderSpectrum, w.Render, w.RenderOutput, w.SpectrumChannel),
              std::tuple(true, false, "w.png", 2));
    StartOptions p;
    ASSERT_TRUE(ParseStartOptions({"--size", "Letter", "--print", "a.kgd", "b.pdf"}, p, error));
    EXPECT_EQ(std::tie(p.Print, p.Render, p.PrintInput, p.PrintOutput, p.Paper),
              std::tuple(true, false, "a.kgd", "b.pdf", PaperSize::Letter));
    StartOptions a4;
    ASSERT_TRUE(ParseStartOptions({"--print", "a.kgd", "b.pdf"}, a4, error));
    EXPECT_EQ(a4.Paper, PaperSize::A4);

    const std::vector<std::vector<std::string>> bad = {
        {"--address"},
        {"--address", "0x10000"},
        {"--size", "0x10"},
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
    EXPECT_FALSE(ParseStartOptions({"--card", "isa"}, o, error));
    EXPECT_EQ(error, "Niepoprawny rodzaj karty: \"isa\" (dozwolone: simulated, ports).");
}

}  // namespace
}  // namespace kresograf
