// The desktop program's hot paths: one complete re-render of a long recording (the picture
// description and its painting), and the pace of the oscilloscope and of a recording watched live
// on the simulated card against the card's own. Run it on the offscreen platform, or under a
// display (xvfb-run) to include the window system's copies.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <memory>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "card/card_port.h"
#include "card/clock.h"
#include "card/simulated_card.h"
#include "document/zefra_krg_doc.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/splash_window.h"
#include "gui/view/picture_painter.h"
#include "gui/view/spectrum_window.h"
#include "gui/view/zefra_krg_view.h"
#include "long_recording.h"
#include "view/plot_view.h"

namespace kresograf {
namespace {

// A recording of eight inputs as long as asked, in set 1.
std::unique_ptr<CZefraKrgDoc> LongRecording(uint32_t scans) {
    auto doc = std::make_unique<CZefraKrgDoc>();
    FillLongRecording(*doc, 1, scans);
    return doc;
}

void BM_RenderRecording(benchmark::State& state) {
    const auto scans = static_cast<uint32_t>(state.range(0));
    const int width = static_cast<int>(state.range(1));
    const int height = static_cast<int>(state.range(2));
    auto doc = LongRecording(scans);
    SettingsRecord settings;
    QImage image = MakeBackBuffer(width, height);
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(*doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    // As the view renders: one picture and one painter kept from frame to frame.
    Picture picture;
    PicturePainter painter(font);
    for (auto _ : state) {
        plot.BuildPicture(picture, width, height, measure, true);
        QPainter device(&image);
        painter.Paint(device, picture);
        device.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(scans) * 8;
}
void BM_BuildPictureOnly(benchmark::State& state) {
    const auto scans = static_cast<uint32_t>(state.range(0));
    auto doc = LongRecording(scans);
    SettingsRecord settings;
    QImage image = MakeBackBuffer(1920, 1080);
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(*doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    for (auto _ : state) {
        benchmark::DoNotOptimize(plot.BuildPicture(1920, 1080, measure, true));
    }
}
void BM_PaintOnly(benchmark::State& state) {
    const auto scans = static_cast<uint32_t>(state.range(0));
    auto doc = LongRecording(scans);
    SettingsRecord settings;
    QImage image = MakeBackBuffer(1920, 1080);
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(*doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    const Picture picture = plot.BuildPicture(1920, 1080, measure, true);
    std::size_t points = 0;
    for (const auto& t : picture.Traces) {
        points += t.Points.size();
    }
    // 0: the whole picture; 1: without traces; 2: without grid; 3: without labels; 4: the
    // background and the plot's edge alone.
    Picture variant = picture;
    if (state.range(1) == 1) {
        variant.Traces.clear();
    } else if (state.range(1) == 2) {
        variant.Grid.clear();
    } else if (state.range(1) == 3) {
        variant.Labels.clear();
    } else if (state.range(1) == 4) {
        variant.Traces.clear();
        variant.Grid.clear();
        variant.Labels.clear();
    }
    PicturePainter painter(font);
    for (auto _ : state) {
        QPainter device(&image);
        painter.Paint(device, variant);
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["grid"] = static_cast<double>(picture.Grid.size());
    state.counters["labels"] = static_cast<double>(picture.Labels.size());
}
BENCHMARK(BM_PaintOnly)
    ->ArgsProduct({{10'000'000, 200'000}, {0, 1, 2, 3, 4}})
    ->Unit(benchmark::kMillisecond);

// The floor of the traces: for each trace and pixel column, the rows between the column's
// smallest and largest y written straight into the image's bits; no painter, clipping or joints.
void BM_TraceFloor(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    auto doc = LongRecording(10'000'000);
    SettingsRecord settings;
    QImage image = MakeBackBuffer(width, height);
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(*doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    const Picture picture = plot.BuildPicture(width, height, measure, true);
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    int64_t pixels = 0;
    for (auto _ : state) {
        pixels = 0;
        for (const PictureTrace& trace : picture.Traces) {
            const QRgb color = ColorFromRef(trace.Color).rgb();
            for (std::size_t i = 0; i + 1 < trace.Points.size(); i += 2) {
                const int x = trace.Points[i].X;
                if (x < 0 || x >= width) {
                    continue;
                }
                const int top = std::clamp(trace.Points[i].Y, 0, height - 1);
                const int bottom = std::clamp(trace.Points[i + 1].Y, 0, height - 1);
                QRgb* pixel = bits + static_cast<qsizetype>(top) * stride + x;
                for (int n = bottom - top; n >= 0; --n, pixel += stride) {
                    *pixel = color;
                }
                pixels += bottom - top + 1;
            }
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["pixels"] = static_cast<double>(pixels);
}
BENCHMARK(BM_TraceFloor)->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_BuildPictureOnly)->Arg(10'000'000)->Arg(200'000)->Unit(benchmark::kMillisecond);

// The first picture after a new shot (a set held in memory): the view's per-channel summaries
// are rebuilt first.
void BM_FirstRenderOfNewData(benchmark::State& state) {
    const auto scans = static_cast<uint32_t>(state.range(0));
    auto doc = std::make_unique<CZefraKrgDoc>();
    FillShotSet(*doc, 1, scans);
    SettingsRecord settings;
    QImage image = MakeBackBuffer(1920, 1080);
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(*doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    Picture picture;
    PicturePainter painter(font);
    for (auto _ : state) {
        ++doc->Generation[doc->CurrentSet.load()];
        plot.OnUpdate(HintNewShot);
        plot.BuildPicture(picture, 1920, 1080, measure, true);
        QPainter device(&image);
        painter.Paint(device, picture);
    }
}
BENCHMARK(BM_FirstRenderOfNewData)
    ->Arg(10'000'000)
    ->Arg(25'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_RenderRecording)
    ->Args({10'000'000, 1920, 1080})
    ->Args({200'000, 1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same oscilloscope with no window at all: the pace of the card and its link alone (a shot
// also waits for its 2 x ChannelCount lead-in conversions and for the word-by-word transfer).
class CountingLink : public FrameLink {
  public:
    void SendMessage(uint32_t message, uint32_t) override {
        if (message == WM_DOC_UPDATE) {
            ++Shots;
        }
    }
    void PostMessage(uint32_t, uint32_t) override {}
    void ShowMessageBox(const UserMessage&) override {}
    void ShowRegisteredParams(const RegisteredParamsRequest&) override { Recorded = true; }
    std::atomic<int> Shots{0};
    // A recording has ended and handed in its parameters.
    std::atomic<bool> Recorded{false};
};

void SetBlock(CZefraKrgDoc& doc, int channels, uint32_t divisor, uint32_t scans) {
    AcquisitionParams params;
    TriggerParams trigger;
    doc.WorkingBlock(params, trigger);
    params.Divisor = divisor;
    params.ChannelCount = static_cast<int8_t>(channels);
    for (int c = 0; c < channels; ++c) {
        params.Channels[static_cast<std::size_t>(c)] = static_cast<int8_t>(c);
    }
    params.TotalSamples = scans * static_cast<uint32_t>(channels);
    doc.SetWorking(params, trigger);
}

double HeadlessShotsPerSecond(int channels, uint32_t divisor, uint32_t scans, int shots) {
    SteadyClock clock;
    SimulatedCard simulated(clock);
    CardPort card(simulated, clock);
    SettingsRecord settings;
    CountingLink link;
    CZefraKrgDoc doc;
    SetBlock(doc, channels, divisor, scans);
    AcquisitionRunner runner(settings, card, link);
    runner.ToggleOscilloscope(doc);
    while (link.Shots.load() < 1) {
        clock.SleepMs(1);
    }
    const int start = link.Shots.load();
    QElapsedTimer timer;
    timer.start();
    while (link.Shots.load() < start + shots) {
        clock.SleepMs(1);
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const int done = link.Shots.load() - start;
    runner.ToggleOscilloscope(doc);
    runner.Join();
    return done / seconds;
}

// Shots per second of the oscilloscope through the whole program (worker, bridge, views) against
// the card's pace: a shot of S conversions cannot come faster than rate / S per second.
// The "Widmo" window beside the plot, following it, when spectrum is set: the spectra it showed
// during the run are counted.
void OscilloscopePace(benchmark::State& state, bool spectrum) {
    const int channels = static_cast<int>(state.range(0));
    const auto divisor = static_cast<uint32_t>(state.range(1));
    const auto scans = static_cast<uint32_t>(state.range(2));
    const int shots = static_cast<int>(state.range(3));
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    SteadyClock clock;
    SplashWindow::EnableSplash(false);
    CMainFrame frame(settings, std::make_unique<SimulatedCard>(clock), clock);
    frame.resize(1920, 1080);
    frame.show();
    GuiDocument* document = frame.NewDocument();
    frame.MdiArea()->activeSubWindow()->showMaximized();
    CZefraKrgDoc& doc = *document->Doc;
    SetBlock(doc, channels, divisor, scans);
    CZefraKrgView* view = frame.ActiveView();
    // Opened as the user opens it; it follows the active plot window by itself.
    CSpectrumWindow* spectra = nullptr;
    if (spectrum) {
        frame.RunCommand(ID_SPECTRUM_WINDOW);
        spectra = frame.findChild<CSpectrumWindow*>();
        if (spectra == nullptr || !spectra->isVisible() || spectra->Followed() != view) {
            state.SkipWithError("\"Widmo\" did not open on the plot window");
            return;
        }
    }

    const double conversionShotsPerSecond =
        8'000'000.0 / divisor / (scans * static_cast<double>(channels));
    const double linkShotsPerSecond = HeadlessShotsPerSecond(channels, divisor, scans, shots);
    for (auto _ : state) {
        frame.RunCommand(ID_OSC_START);
        // The first shot only starts the card; time the ones after it.
        const int first = view->RenderCount();
        const bool started = QTest::qWaitFor([&] { return view->RenderCount() > first; }, 120000);
        const int start = view->RenderCount();
        const int spectraBefore = spectra ? spectra->ShownCount() : 0;
        QElapsedTimer timer;
        timer.start();
        const bool ran =
            QTest::qWaitFor([&] { return view->RenderCount() >= start + shots; }, 600000);
        if (spectra) {
            state.counters["spectra"] = spectra->ShownCount() - spectraBefore;
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        const int done = view->RenderCount() - start;
        frame.RunCommand(ID_OSC_START);
        const bool stopped =
            QTest::qWaitFor([&] { return frame.Settings().AcquiringDocId.load() == 0; }, 120000);
        if (!started || !ran || !stopped) {
            state.SkipWithError("the oscilloscope did not run");
            break;
        }
        state.SetIterationTime(seconds);
        state.counters["shots_per_s"] = done / seconds;
        state.counters["card_link_shots_per_s"] = linkShotsPerSecond;
        state.counters["conversion_shots_per_s"] = conversionShotsPerSecond;
        // 1.0 = the program shows every shot as fast as the card delivers them.
        state.counters["keeps_up"] = done / seconds / linkShotsPerSecond;
    }
    doc.Modified = false;
}

void BM_OscilloscopePace(benchmark::State& state) {
    OscilloscopePace(state, false);
}
// 1 000 Hz, one input, 1 000 scans per shot (a new document's block).
BENCHMARK(BM_OscilloscopePace)->Args({1, 8000, 1000, 5})->Iterations(1)->UseManualTime();
// 95 000 Hz, eight inputs, 25 000 scans per shot.
BENCHMARK(BM_OscilloscopePace)->Args({8, 84, 25'000, 5})->Iterations(1)->UseManualTime();

// The same with "Widmo" open on the plot window.
void BM_OscilloscopePaceWithSpectrum(benchmark::State& state) {
    OscilloscopePace(state, true);
}
BENCHMARK(BM_OscilloscopePaceWithSpectrum)
    ->Args({8, 84, 25'000, 5})
    ->Iterations(1)
    ->UseManualTime();

// Answers the main frame in code: a recording's end is noted instead of shown in a dialog, a
// message (an overrun) counted.
class BenchPrompts : public FramePrompts {
  public:
    void ShowMessage(QWidget*, const UserMessage&) override { ++Messages; }
    SaveAnswer AskSaveChanges(QWidget*, const QString&) override { return SaveAnswer::Discard; }
    QString AskOpenFileName(QWidget*) override { return {}; }
    QString AskSaveFileName(QWidget*, const QString&) override { return {}; }
    void ShowRegisteredParams(QWidget*, const RegisteredParamsRequest&) override {
        Seconds = static_cast<double>(Timer.nsecsElapsed()) / 1e9;
        Recorded = true;
    }
    QElapsedTimer Timer;
    double Seconds = 0;
    bool Recorded = false;
    int Messages = 0;
};

// Seconds from the start command to a recording's end with no window at all: the card and its
// link alone. 0 when the recording did not keep every scan.
double HeadlessRecordingSeconds(uint32_t divisor, uint32_t scans) {
    SteadyClock clock;
    SimulatedCard simulated(clock);
    CardPort card(simulated, clock);
    SettingsRecord settings;
    CountingLink link;
    CZefraKrgDoc doc;
    SetBlock(doc, 8, divisor, scans);
    AcquisitionRunner runner(settings, card, link);
    QElapsedTimer timer;
    timer.start();
    runner.ToggleRecording(doc);  // into the benchmarks' recordings folder, as the window's
    while (!link.Recorded.load()) {
        clock.SleepMs(1);
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    runner.Join();
    return doc.SampleCount[doc.CurrentSet.load()] == scans ? seconds : 0.0;
}

// A recording of eight inputs through the whole program, its plot window maximized and drawing
// the scans as they arrive ten times a second, against the same recording through the card link
// alone. The card's pace sets both; 1.0 = the live view costs the recording nothing.
void RecordingPace(benchmark::State& state, bool spectrum) {
    const auto divisor = static_cast<uint32_t>(state.range(0));
    const auto scans = static_cast<uint32_t>(state.range(1));
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    SteadyClock clock;
    SplashWindow::EnableSplash(false);
    BenchPrompts prompts;
    CMainFrame frame(settings, std::make_unique<SimulatedCard>(clock), clock);
    frame.SetPrompts(&prompts);
    frame.resize(1920, 1080);
    frame.show();
    GuiDocument* document = frame.NewDocument();
    frame.MdiArea()->activeSubWindow()->showMaximized();
    CZefraKrgDoc& doc = *document->Doc;
    SetBlock(doc, 8, divisor, scans);
    CZefraKrgView* view = frame.ActiveView();
    // Opened as the user opens it; it follows the active plot window by itself.
    CSpectrumWindow* spectra = nullptr;
    if (spectrum) {
        frame.RunCommand(ID_SPECTRUM_WINDOW);
        spectra = frame.findChild<CSpectrumWindow*>();
        if (spectra == nullptr || !spectra->isVisible() || spectra->Followed() != view) {
            state.SkipWithError("\"Widmo\" did not open on the plot window");
            return;
        }
    }

    const double linkSeconds = HeadlessRecordingSeconds(divisor, scans);
    for (auto _ : state) {
        prompts.Recorded = false;
        const int rendersBefore = view->RenderCount();
        prompts.Timer.start();
        frame.RunCommand(ID_REC_START);
        // Pictures drawn while the scans arrive, the last one being the finished recording's.
        int livePictures = 0;
        const bool ended = QTest::qWaitFor(
            [&] {
                if (doc.RecRunning.load() != 0) {
                    livePictures = view->RenderCount() - rendersBefore;
                }
                return prompts.Recorded;
            },
            600000);
        const bool stopped =
            QTest::qWaitFor([&] { return frame.Settings().AcquiringDocId.load() == 0; }, 120000);
        if (!ended || !stopped || linkSeconds == 0 || prompts.Messages != 0 ||
            doc.SampleCount[doc.CurrentSet.load()] != scans) {
            state.SkipWithError("the recording did not keep every scan");
            break;
        }
        state.SetIterationTime(prompts.Seconds);
        state.counters["scans_per_s"] = scans / prompts.Seconds;
        state.counters["card_link_scans_per_s"] = scans / linkSeconds;
        state.counters["conversion_scans_per_s"] = 8'000'000.0 / divisor / 8;
        state.counters["live_pictures"] = livePictures;
        if (spectra) {
            state.counters["spectra"] = spectra->ShownCount();
        }
        // 1.0 = the recording runs as fast with the live view as through the card link alone.
        state.counters["keeps_up"] = linkSeconds / prompts.Seconds;
    }
    doc.Modified = false;
}
void BM_RecordingPace(benchmark::State& state) {
    RecordingPace(state, false);
}
// 95 000 Hz over eight inputs, 36 000 scans: about three seconds.
BENCHMARK(BM_RecordingPace)
    ->Args({84, 36'000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same with "Widmo" open on the plot window.
void BM_RecordingPaceWithSpectrum(benchmark::State& state) {
    RecordingPace(state, true);
}
BENCHMARK(BM_RecordingPaceWithSpectrum)
    ->Args({84, 36'000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kresograf

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The recordings the benchmarks make go to a folder of their own, not the user's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
