#include "document/zefra_krg_doc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace kresograf {
namespace {

// The two linear passes the visible range has always been defined by: {first, last}.
std::pair<int32_t, int32_t> LinearVisibleRange(const std::vector<int32_t>& t, int32_t x1,
                                               int32_t x2) {
    const int32_t n = static_cast<int32_t>(t.size());
    if (n == 1) {
        const int32_t inside = (x1 <= t[0] && t[0] <= x2) ? 0 : -1;
        return {inside, inside};
    }
    int32_t first = -1;
    int32_t last = -1;
    for (int32_t k = 0, c = 0; k < n; ++k) {
        t[k] < x1 ? c = k : first = c;
    }
    for (int32_t k = n - 1, c = n - 1; k >= 0; --k) {
        t[k] > x2 ? c = k : last = c;
    }
    return {first, last};
}

TEST(DocumentTest, NewDocumentAndDeleteContents) {
    // A new document takes no sample memory until a shot needs it.
    CZefraKrgDoc doc;
    EXPECT_EQ(doc.SetCapacity(1), 0u);
    EXPECT_EQ(doc.ChannelPresent[1], (std::array<uint32_t, 8>{1, 1, 1, 1, 1, 1, 1, 1}));
    // Documents alive together differ even when made in the same second; none has the id 0.
    std::vector<std::unique_ptr<CZefraKrgDoc>> docs;
    std::set<uint32_t> ids = {0};
    for (int i = 0; i < 5; ++i) {
        docs.push_back(std::make_unique<CZefraKrgDoc>());
        EXPECT_TRUE(ids.insert(docs.back()->DocId).second);
    }

    ASSERT_TRUE(doc.ResizeSet(1, 300'000));
    doc.CurrentSet = 1;
    doc.SampleCount = {5, 7};
    doc.ChannelPresent[0].fill(0);
    doc.ChannelPresent[1].fill(0);
    doc.Params[1].Divisor = 84;
    doc.DeleteContents();
    // Set 0 shows again, empty, with every input; the registered block stays.
    EXPECT_EQ(std::tuple(doc.CurrentSet.load(), doc.SampleCount[0] + doc.SampleCount[1],
                         doc.ChannelPresent[0][4], doc.ChannelPresent[1][4], doc.SetCapacity(1),
                         doc.Params[1].Divisor),
              std::tuple(0u, 0u, 1u, 0u, 0u, 84u));
}

TEST(DocumentTest, ResizesOfTheArrays) {
    // Resizing keeps the prefix and reports a refused allocation.
    CZefraKrgDoc doc;
    ASSERT_TRUE(doc.ReserveShotSet(0));
    EXPECT_EQ(doc.SetCapacity(0), BaseCapacity);
    doc.Samples[0][2][199'999] = 42;
    ASSERT_TRUE(doc.ResizeSet(0, 500'000));
    EXPECT_EQ(doc.Samples[0][2][199'999], 42);
    EXPECT_EQ(doc.SetCapacity(0), 500'000u);
    int allowed = 3;
    doc.Allocation = [&](std::size_t) { return allowed-- > 0; };
    EXPECT_FALSE(doc.ResizeSet(1, 400'000));
    EXPECT_EQ(std::tuple(doc.Samples[1][2].Size(), doc.Samples[1][3].Size(), doc.SetCapacity(1)),
              std::tuple(400'000u, 0u, 0u));
    // A shot without the memory leaves nothing half-grown.
    allowed = 3;
    EXPECT_FALSE(doc.ReserveShotSet(1));
    EXPECT_EQ(doc.Samples[1][2].Size(), 0u);
}

TEST(DocumentTest, VisibleRangeMatchesTheLinearPasses) {
    CZefraKrgDoc doc;
    doc.ResizeSet(0, 64);
    std::mt19937 rng(7);
    auto uniform = [&](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng);
    };
    // Empty and single-scan documents and windows between two scans come up often enough.
    for (int round = 0; round < 400; ++round) {
        std::vector<int32_t> t(static_cast<std::size_t>(uniform(0, 40)));
        int32_t v = uniform(-50, 50);
        for (std::size_t i = 0; i < t.size(); ++i) {
            v += uniform(0, 3);  // ties included
            t[i] = doc.ScanTime[0][i] = v;
        }
        doc.SampleCount[0] = static_cast<uint32_t>(t.size());
        for (int q = 0; q < 20; ++q) {
            const int32_t x1 = uniform(-80, 150);
            const int32_t x2 = uniform(-80, 150);
            std::pair<int32_t, int32_t> found;
            doc.FindVisibleRange(x1, x2, found.first, found.second);
            ASSERT_EQ(found, LinearVisibleRange(t, x1, x2)) << t.size() << " " << x1 << " " << x2;
        }
    }
}

TEST(DocumentTest, CommandStatesFollowTheToken) {
    CZefraKrgDoc a;
    CZefraKrgDoc b;
    a.SampleCount[0] = 10;
    b.SampleCount[0] = 10;
    EXPECT_EQ(a.QueryCommand(DocCommand::RegisteredParams, 0), (CommandState{true, false}));
    EXPECT_FALSE(CZefraKrgDoc().QueryCommand(DocCommand::RegisteredParams, 0).Enabled);

    // a acquires in oscilloscope mode.
    a.OscRunning = 1;
    const uint32_t token = a.DocId;
    EXPECT_EQ(a.QueryCommand(DocCommand::OscilloscopeStart, token), (CommandState{true, true}));
    EXPECT_EQ(a.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    EXPECT_EQ(b.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    for (DocCommand c :
         {DocCommand::Save, DocCommand::SaveAs, DocCommand::Print, DocCommand::ExportAscii,
          DocCommand::Generator, DocCommand::RegisteredParams}) {
        EXPECT_FALSE(a.QueryCommand(c, token).Enabled);
        EXPECT_TRUE(b.QueryCommand(c, token).Enabled);
    }
    EXPECT_EQ(a.CloseCheck(token),
              (UserMessage{"UWAGA", "Nie można zamknąć dokumentu - trwa akwizycja",
                           MessageIcon::Exclamation}));
    EXPECT_FALSE(b.CloseCheck(token).has_value());
    EXPECT_FALSE(a.CloseCheck(0).has_value());
}

}  // namespace
}  // namespace kresograf
