#include "shell/output_options.h"
#include "shell/start_options.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kresograf {
namespace {

bool Parse(OutputCommand command, const std::vector<std::string>& args, OutputCommandLine& line,
           std::string& error) {
    line = {};
    return ParseOutputCommand(command, args, line, error);
}

TEST(OutputOptionsTest, CommandFieldsRefusalsAndSampleTexts) {
    OutputCommandLine line;
    std::string error;
    ASSERT_TRUE(Parse(OutputCommand::Generate,
                      {"square", "--frequency", "50", "--amplitude", "2", "--offset", "-0.5",
                       "--param", "30", "--scope", "2", "--channels", "8", "--rate", "10000"},
                      line, error))
        << error;
    const GeneratorSettings& g = line.Generator;
    EXPECT_EQ(std::tie(g.Shape, g.Frequency, g.Amplitude, g.Offset, g.Param, line.ScopeShots),
              std::tuple(WaveSquare, 50u, 200, -50, 30, 2));

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"sine", "--amplitude", "5"},
         "Niepoprawna amplituda: \"5\" (od 0.00 do 4.99 V co 0.01 V)."},
        {{"sine", "--offset", "-4.996"},
         "Niepoprawna składowa stała: \"-4.996\" (od -4.99 do 4.99 V co 0.01 V)."},
        {{"sine", "--frequency", "10001"}, "Wprowadź liczbę całkowitą z przedziału od 0 do 10000."},
        {{"sine", "--param", "101"}, "Niepoprawny parametr: \"101\" (od 0 do 100 %)."},
        {{"saw"}, "Nieznany kształt: \"saw\" (sine, square, triangle)."},
        {{"sine", "--samples", "a.txt", "--scope", "1"},
         "Opcje --samples i --scope wykluczają się."},
    };
    for (const auto& [args, message] : refused) {
        EXPECT_FALSE(Parse(OutputCommand::Generate, args, line, error)) << args[0];
        EXPECT_EQ(error, message);
    }

    ASSERT_TRUE(Parse(OutputCommand::Formula,
                      {"exp", "--a", "-2", "--b", "3", "--sources", "2=2,5=0.5", "--rate", "500"},
                      line, error))
        << error;
    const FormulaSettings& f = line.Formula;
    EXPECT_EQ(std::tie(f.Formula, f.A, f.B, f.Weights[4], f.RateRow),
              std::tuple(FormulaExp, -2.0f, 3.0f, "0.5", 36u));  // row 36: 500 Hz
    EXPECT_EQ(f.Active, (std::array<bool, 8>{false, true, false, false, true}));

    // Differential: the pairs not listed are sources of weight 0.
    ASSERT_TRUE(Parse(OutputCommand::Formula,
                      {"linear", "--differential", "--sources", "4=1.5", "--channels", "8"}, line,
                      error));
    EXPECT_EQ(std::tie(f.Differential, f.Weights[0], f.Weights[3]), std::tuple(true, "0", "1.5"));
    EXPECT_FALSE(Parse(OutputCommand::Formula, {"linear", "--differential", "--sources", "5=1"},
                       line, error));
    EXPECT_EQ(error, "Niepoprawne źródła: \"5=1\" (pary 1..4 z wagami, np. 1=0.5,2=1).");
    EXPECT_FALSE(Parse(OutputCommand::Formula, {"linear", "--sources", "1=1", "--rate", "1/2"},
                       line, error));
    EXPECT_EQ(error, "Niepoprawna częstotliwość wyjścia: \"1/2\" (95000 … 50 Hz z tabeli).");

    ASSERT_TRUE(
        Parse(OutputCommand::Play, {"a.dat", "--digital", "--samples", "b.txt"}, line, error));
    EXPECT_EQ(std::tie(line.Digital, line.SamplesPath), std::tuple(true, "b.txt"));

    // The texts the command line prints for what it would send.
    EXPECT_EQ(AnalogSamplesText({0.1f, -2.5f, 4.99f}), "0.100000001\n-2.5\n4.98999977\n");
    EXPECT_EQ(DigitalSamplesText({0, 0x1F, 0xFF}), "0\n31\n255\n");
    const FormulaRequest r{.Divisor = 8000,
                           .SourceCount = 2,
                           .Sources = {1, static_cast<int8_t>(0x84)},
                           .Formula = 2,
                           .Weights = {0.0048828125f, 0.0001220703125f},
                           .CoefA = 0.693147182f,
                           .CoefB = -1.0f};
    EXPECT_EQ(FormulaRequestText(r),
              "Divisor 8000\nSourceCount 2\nSingleEnded 1\nSources 1 132\nFormula 2\n"
              "Weights 0.0048828125 0.000122070312\nCoefA 0.693147182\nCoefB -1\n");
}

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
