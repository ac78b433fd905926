// A view following a recording while the worker thread fills the set: it reads only scans that
// are complete, sees the traces grow, and ends on the picture of the finished recording.

#include <gtest/gtest.h>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "card/card_port.h"
#include "card/manual_clock.h"
#include "card/simulated_card.h"
#include "document/file_test_support.h"
#include "document/zefra_krg_doc.h"
#include "support/recording_frame_link.h"
#include "support/scan_list.h"
#include "view/plot_view.h"
#include "view_fixture.h"

namespace kresograf {
namespace {

using testing::FixedMeasure;

TEST(LiveViewThreadTest, TheViewShowsCompleteScansAsTheyArrive) {
    ManualClock clock(0, 5);
    SettingsRecord settings;
    SimulatedCard card(clock, 0x100);
    CardPort port(card, clock);
    RecordingFrameLink frame;
    CZefraKrgDoc doc;
    // 300 000 scans, more than a set holds at first.
    doc.SetWorking(ScanList({0, 3}, 84, 600'000), TriggerParams{});

    PlotView view(doc, &settings);
    view.SetAxisMetrics(FixedMeasure);
    view.OnUpdate(HintInitial);
    view.ParallelReductionScans = 0;  // its traces reduced on two threads, the fresh one's on one
    view.YMin[0] = -7000;
    view.YMax[0] = 9000;
    AcquisitionRunner runner(settings, port, frame);
    const filetest::TempFolder folder;
    runner.SetRecordingPlace({"", folder.Path.string(), {}, {}});
    ASSERT_TRUE(runner.ToggleRecording(doc));

    uint32_t seen = 0;
    int partPictures = 0;
    int endRenders = 0;
    Picture picture;
    while (runner.Busy()) {
        const ViewResponse response = view.OnRecordingProgress();
        if (!view.Live()) {
            endRenders += response.Action == ViewAction::RenderAndRedraw ? 1 : 0;
            continue;
        }
        const uint32_t n = view.SampleCount();
        ASSERT_GE(n, seen);
        if (response.Action != ViewAction::RenderAndRedraw || n == 0) {
            continue;
        }
        seen = n;
        // The whole planned run on the time axis; the value scales as they were set.
        EXPECT_EQ(testing::XRange(view), (testing::Range{0, 2 * 299'999}));
        EXPECT_EQ(testing::YRange(view, 0), (testing::Range{-7000, 9000}));
        // Every counted scan is in the file the view reads.
        ASSERT_LE(n, doc.Store(view.LinkedSet())->Scans());
        view.BuildPicture(picture, 400, 300, FixedMeasure, true);
        ASSERT_EQ(picture.Traces.size(), 2u);
        if (n < 250'000) {
            ++partPictures;
            // The traces end where the data end: short of the plot's right side.
            EXPECT_LT(picture.Traces[0].Points.back().X, picture.Plot.Right - 2);
        }
    }
    runner.Join();
    EXPECT_GT(partPictures, 0);
    // The recording gone: drawn once more, from the shown set.
    endRenders += view.OnRecordingProgress().Action == ViewAction::RenderAndRedraw ? 1 : 0;
    EXPECT_EQ(endRenders, 1);
    EXPECT_FALSE(view.Live());
    EXPECT_EQ(view.OnRecordingProgress().Action, ViewAction::None);

    view.OnUpdate(HintRecordingDone);
    view.BuildPicture(picture, 400, 300, FixedMeasure, true);
    PlotView fresh(doc, &settings);
    fresh.SetAxisMetrics(FixedMeasure);
    fresh.OnUpdate(HintInitial);
    const Picture expected = fresh.BuildPicture(400, 300, FixedMeasure, true);
    ASSERT_EQ(picture.Traces.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(picture.Traces[i].Points, expected.Traces[i].Points);
    }
    EXPECT_EQ(picture.Labels, expected.Labels);
    // No view summarises a recording: its writer did, as the scans arrived, for all of them.
    EXPECT_EQ(view.SummaryBuilds() + fresh.SummaryBuilds(), 0u);
}

}  // namespace
}  // namespace kresograf
