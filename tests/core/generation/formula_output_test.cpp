#include "generation/formula_output.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace kresograf {
namespace {

FormulaSettings Settings() {
    FormulaSettings s;
    s.ChannelScale.fill(1.0f / 4096.0f);
    s.Weights.fill("1.000000");
    return s;
}

TEST(FormulaOutputTest, SourcesWeightsGainCoefficientsRefusalsAndNumberFields) {
    FormulaSettings s = Settings();
    s.Active[1] = true;
    s.Active[4] = true;
    s.Weights[1] = std::string("2");
    s.Weights[4] = std::string(" 0.5");
    s.A = 2.5f;
    s.B = -0.25f;
    FormulaRequest r;
    UserMessage message;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.SourceCount, r.Sources[0], r.Sources[1], r.CoefA, r.CoefB, r.Divisor),
              std::tuple(2, 1, 4, 2.5f, -0.25f, 8000u));
    // 2 x 10 / 4096 and 0.5 x 10 / 4096 V per code.
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[1]), std::tuple(0.0048828125f, 0.001220703125f));

    // Input 5 at x10: bit 7 set, its weight per code ten times smaller.
    s.ChannelGain[4] = 0x80;
    s.RateRow = 0;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(static_cast<uint8_t>(r.Sources[1]), 0x84);
    EXPECT_EQ(std::tie(r.Weights[1], r.Divisor), std::tuple(0.0001220703125f, 84u));  // 0.5 / 4096

    // Letters count as 0; a number followed by letters counts as the number.
    s.Weights[1] = std::string("abc");
    s.Weights[4] = std::string("-1e1V");
    s.ChannelGain[4] = 0;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[1]), std::tuple(0.0f, -0.0244140625f));  // -10 x 10

    // Y = A exp(B X) goes to the card as sign(A) exp(ln |A| + B X): B scales the weights.
    s.Formula = FormulaExp;
    s.Active[4] = false;
    s.Weights[1] = std::string("2");
    s.A = -2.0f;
    s.B = 3.0f;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    // 2 x 10 / 4096 x 3 V per code, ln 2.
    EXPECT_EQ(std::tie(r.Formula, r.Weights[0], r.CoefA, r.CoefB),
              std::tuple(2, 0.0146484375f, 0.6931472f, -1.0f));
    s.A = 0.0f;
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(std::tie(r.CoefA, r.CoefB), std::tuple(0.0f, 0.0f));

    // Refusals leave the request as it was.
    s = Settings();
    r.Divisor = 1234;
    EXPECT_FALSE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(message,
              (UserMessage{"Brak danych", "Żaden kanał nie został wybrany jako źródło danych.",
                           MessageIcon::Exclamation}));
    EXPECT_EQ(r.Divisor, 1234u);

    // Pair 3 (inputs 7 and 8) mixes gains: refused though no row is active.
    s.Differential = true;
    s.ChannelGain[6] = 0x80;
    EXPECT_FALSE(BuildFormulaRequest(s, r, message));
    EXPECT_EQ(message, (UserMessage{"Błąd konfiguracji",
                                    "Kanały tworzące parę różnicową posiadają różne wzmocnienie.",
                                    MessageIcon::Stop}));

    // All four pairs, each with its own weight; pair 1 at x10.
    s.ChannelGain = {0x80, 0x80, 0, 0, 0, 0, 0, 0};
    s.Weights[2] = std::string("4");
    ASSERT_TRUE(BuildFormulaRequest(s, r, message));
    // Pair 1 weighs 1 / 4096 V per code, pair 3 4 x 10 / 4096.
    EXPECT_EQ(std::tie(r.SingleEnded, r.SourceCount, r.Sources[0], r.Sources[3]),
              std::tuple(0, 4, static_cast<int8_t>(0x80), 3));
    EXPECT_EQ(std::tie(r.Weights[0], r.Weights[2]), std::tuple(0.000244140625f, 0.009765625f));

    // A weight no float holds, typed or made by the exponential's B, is refused like A and B.
    r.Divisor = 1234;
    for (const auto& [weight, formula] :
         {std::pair{"1e50", FormulaLinear}, {"1e39", FormulaLinear}, {"1e30", FormulaExp}}) {
        s.Weights[1] = weight;
        s.Formula = formula;
        s.B = 1e30f;
        EXPECT_FALSE(BuildFormulaRequest(s, r, message)) << weight;
        EXPECT_EQ(message, (UserMessage{"Kresograf", "Wprowadź poprawną liczbę.",
                                        MessageIcon::Exclamation}));
    }
    EXPECT_EQ(r.Divisor, 1234u);

    EXPECT_EQ(LeadingNumber("  3.25e2x"), 325.0);
    EXPECT_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_EQ(LeadingNumber("inf"), 0.0);
    float v = 9.0f;
    EXPECT_TRUE(ParseCoefficient("\t-1.5 ", v, message));
    EXPECT_EQ(v, -1.5f);
    for (const char* bad : {"", "1,5", "abc", "2 x", "1e39"}) {
        v = 9.0f;
        EXPECT_FALSE(ParseCoefficient(bad, v, message)) << bad;
        EXPECT_EQ(message.Text, "Wprowadź poprawną liczbę.");
        EXPECT_EQ(v, 9.0f);
    }
    EXPECT_EQ(ChannelRowLabel(2), "Kanał 3");
}

}  // namespace
}  // namespace kresograf
