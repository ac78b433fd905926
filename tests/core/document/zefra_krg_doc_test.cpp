#include "document/zefra_krg_doc.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace kresograf {
namespace {

// The two linear passes the visible range has always been defined by.
void LinearVisibleRange(const std::vector<int32_t>& t, int32_t x1, int32_t x2, int32_t& first,
                        int32_t& last) {
    const int32_t n = static_cast<int32_t>(t.size());
    if (n == 1) {
        first = last = (x1 <= t[0] && t[0] <= x2) ? 0 : -1;
        return;
    }
    first = last = -1;
    int32_t c1 = 0;
    for (int32_t k = 0; k < n; ++k) {
        if (t[k] < x1) {
            c1 = k;
        } else {
            first = c1;
        }
    }
    int32_t c2 = n - 1;
    for (int32_t k = n - 1; k >= 0; --k) {
        if (t[k] > x2) {
            c2 = k;
        } else {
            last = c2;
        }
    }
}

void Fill(CZefraKrgDoc& doc, const std::vector<int32_t>& times) {
    const uint32_t set = doc.CurrentSet;
    for (std::size_t i = 0; i < times.size(); ++i) {
        doc.ScanTime[set][i] = times[i];
    }
    doc.SampleCount[set] = static_cast<uint32_t>(times.size());
}

TEST(DocumentTest, NewDocumentState) {
    CZefraKrgDoc doc;
    EXPECT_NE(doc.DocId, 0u);
    EXPECT_EQ(doc.CurrentSet, 0u);
    EXPECT_EQ(doc.SampleCount[0], 0u);
    EXPECT_EQ(doc.SetCapacity(0), BaseCapacity);
    EXPECT_EQ(doc.SetCapacity(1), BaseCapacity);
    EXPECT_EQ(doc.ScanTime[1][BaseCapacity - 1], 0);
    for (int s = 0; s < 2; ++s) {
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(doc.ChannelPresent[s][c], 1u);
        }
        EXPECT_EQ(doc.Params[s].Divisor, 8000u);
        EXPECT_EQ(doc.Params[s].TotalSamples, 1000u);
        EXPECT_EQ(doc.Params[s].ChannelCount, 1);
        EXPECT_EQ(doc.Params[s].SingleEnded, 1);
        EXPECT_EQ(doc.Triggers[s].Edge, EdgeAutomatic);
    }
    // Two documents made in the same second still differ.
    std::vector<std::unique_ptr<CZefraKrgDoc>> docs;
    for (int i = 0; i < 5; ++i) {
        docs.push_back(std::make_unique<CZefraKrgDoc>());
    }
    for (std::size_t i = 0; i < docs.size(); ++i) {
        EXPECT_NE(docs[i]->DocId, doc.DocId);
        for (std::size_t j = i + 1; j < docs.size(); ++j) {
            EXPECT_NE(docs[i]->DocId, docs[j]->DocId);
        }
    }
}

TEST(DocumentTest, DeleteContentsKeepsBlocksAndSetOnePresence) {
    CZefraKrgDoc doc;
    ASSERT_TRUE(doc.ResizeSet(1, 300'000));
    doc.CurrentSet = 1;
    doc.SampleCount = {5, 7};
    doc.ChannelPresent[0].fill(0);
    doc.ChannelPresent[1].fill(0);
    doc.ScanTime[0][3] = 9;
    doc.Params[1].Divisor = 84;
    doc.DeleteContents();
    EXPECT_EQ(doc.CurrentSet, 0u);
    EXPECT_EQ(doc.SampleCount[0], 0u);
    EXPECT_EQ(doc.SampleCount[1], 0u);
    EXPECT_EQ(doc.ChannelPresent[0][4], 1u);
    EXPECT_EQ(doc.ChannelPresent[1][4], 0u);
    EXPECT_EQ(doc.SetCapacity(1), BaseCapacity);
    EXPECT_EQ(doc.ScanTime[0][3], 0);
    EXPECT_EQ(doc.Params[1].Divisor, 84u);
}

TEST(DocumentTest, ResizeKeepsPrefixAndReportsRefusedAllocation) {
    CZefraKrgDoc doc;
    doc.Samples[0][2][199'999] = 42;
    ASSERT_TRUE(doc.ResizeSet(0, 500'000));
    EXPECT_EQ(doc.Samples[0][2][199'999], 42);
    EXPECT_EQ(doc.SetCapacity(0), 500'000u);
    int allowed = 3;
    doc.Allocation = [&](std::size_t) { return allowed-- > 0; };
    EXPECT_FALSE(doc.ResizeSet(1, 400'000));
    EXPECT_EQ(doc.Samples[1][2].Size(), 400'000u);
    EXPECT_EQ(doc.Samples[1][3].Size(), BaseCapacity);
    EXPECT_EQ(doc.SetCapacity(1), BaseCapacity);
}

TEST(DocumentTest, VisibleRangeMatchesTheLinearPasses) {
    CZefraKrgDoc doc;
    int32_t first = 0;
    int32_t last = 0;
    doc.FindVisibleRange(0, 100, first, last);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(last, -1);

    Fill(doc, {50});
    doc.FindVisibleRange(0, 100, first, last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);
    doc.FindVisibleRange(50, 50, first, last);
    EXPECT_EQ(first, 0);
    doc.FindVisibleRange(51, 100, first, last);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(last, -1);

    // A window between two samples: the two neighbours.
    Fill(doc, {0, 10, 20, 30});
    doc.FindVisibleRange(12, 18, first, last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 2);

    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        const int n = std::uniform_int_distribution<int>(0, 40)(rng);
        std::vector<int32_t> t(n);
        int32_t v = std::uniform_int_distribution<int32_t>(-50, 50)(rng);
        for (auto& x : t) {
            v += std::uniform_int_distribution<int32_t>(0, 3)(rng);  // ties included
            x = v;
        }
        Fill(doc, t);
        for (int q = 0; q < 20; ++q) {
            int32_t x1 = std::uniform_int_distribution<int32_t>(-80, 150)(rng);
            int32_t x2 = std::uniform_int_distribution<int32_t>(-80, 150)(rng);
            int32_t ef = 0;
            int32_t el = 0;
            LinearVisibleRange(t, x1, x2, ef, el);
            doc.FindVisibleRange(x1, x2, first, last);
            ASSERT_EQ(first, ef) << "n=" << n << " x1=" << x1;
            ASSERT_EQ(last, el) << "n=" << n << " x2=" << x2;
        }
    }
}

TEST(DocumentTest, CommandStatesFollowTheToken) {
    CZefraKrgDoc a;
    CZefraKrgDoc b;
    a.SampleCount[0] = 10;
    b.SampleCount[0] = 10;
    EXPECT_EQ(a.QueryCommand(DocCommand::OscilloscopeStart, 0), (CommandState{true, false}));
    EXPECT_EQ(a.QueryCommand(DocCommand::RegisteredParams, 0), (CommandState{true, false}));
    CZefraKrgDoc empty;
    EXPECT_FALSE(empty.QueryCommand(DocCommand::RegisteredParams, 0).Enabled);

    // a acquires in oscilloscope mode.
    a.OscRunning = 1;
    const uint32_t token = a.DocId;
    EXPECT_EQ(a.QueryCommand(DocCommand::OscilloscopeStart, token), (CommandState{true, true}));
    EXPECT_EQ(a.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    EXPECT_EQ(b.QueryCommand(DocCommand::OscilloscopeStart, token), (CommandState{false, false}));
    EXPECT_EQ(b.QueryCommand(DocCommand::RecordingStart, token), (CommandState{false, false}));
    for (DocCommand c :
         {DocCommand::Save, DocCommand::SaveAs, DocCommand::Print, DocCommand::ExportAscii,
          DocCommand::Generator, DocCommand::RegisteredParams}) {
        EXPECT_FALSE(a.QueryCommand(c, token).Enabled);
        EXPECT_TRUE(b.QueryCommand(c, token).Enabled);
    }
    ASSERT_TRUE(a.CloseCheck(token).has_value());
    EXPECT_EQ(a.CloseCheck(token)->Title, "UWAGA");
    EXPECT_EQ(a.CloseCheck(token)->Text, "Nie można zamknąć dokumentu - trwa akwizycja");
    EXPECT_EQ(a.CloseCheck(token)->Icon, MessageIcon::Exclamation);
    EXPECT_FALSE(b.CloseCheck(token).has_value());
    EXPECT_FALSE(a.CloseCheck(0).has_value());
}

}  // namespace
}  // namespace kresograf
