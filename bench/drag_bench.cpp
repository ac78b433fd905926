// A drag step in a plot window: one mouse move of a right-button pan through the real widget,
// which re-renders the whole picture. A drag follows the mouse while this stays within a frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <numbers>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "shell/gui_document.h"
#include "view/zefra_krg_view.h"

namespace kresograf {
namespace {

// Eight inputs of slow sines with a fast ripple, scans 8 units apart.
void FillRecording(CZefraKrgDoc& doc, uint32_t scans) {
    const uint32_t set = 0;
    doc.ResizeSet(set, scans);
    int32_t* time = doc.ScanTime[set].Data();
    for (uint32_t k = 0; k < scans; ++k) {
        time[k] = static_cast<int32_t>(k * 8);
    }
    for (int c = 0; c < 8; ++c) {
        int32_t* samples = doc.Samples[set][c].Data();
        const double period = 200'000.0 * (c + 1);
        for (uint32_t k = 0; k < scans; ++k) {
            samples[k] =
                static_cast<int32_t>(12000.0 * std::sin(2 * std::numbers::pi * k / period) +
                                     800.0 * std::sin(k * 0.37 + c));
        }
    }
    AcquisitionParams params;
    params.Divisor = 84;
    params.ChannelCount = 8;
    params.Channels = {0, 1, 2, 3, 4, 5, 6, 7};
    params.TotalSamples = scans * 8;
    doc.Register(params, TriggerParams{});
    doc.ChannelPresent[set].fill(1);
    doc.SampleCount[set] = scans;
    doc.CurrentSet = set;
}

void Send(QWidget& view, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = {}) {
    QMouseEvent event(type, at, view.mapToGlobal(at), button, buttons, keys);
    QApplication::sendEvent(&view, &event);
}

// state.range(1): 0 = pan with the right button, 1 = stretch with the left.
void BM_DragStep(benchmark::State& state) {
    GuiDocument document;
    FillRecording(*document.Doc, static_cast<uint32_t>(state.range(0)));
    SettingsRecord settings;
    CZefraKrgView view(document, settings);
    view.resize(1920, 1080);
    view.OnUpdate(HintInitial);
    const Qt::MouseButton button = state.range(1) == 0 ? Qt::RightButton : Qt::LeftButton;
    QPoint at(960, 540);
    Send(view, QEvent::MouseButtonPress, at, button, button);
    int step = 0;
    for (auto _ : state) {
        // Back and forth, so the window stays over the data.
        at += QPoint((step++ / 8) % 2 == 0 ? 3 : -3, 0);
        Send(view, QEvent::MouseMove, at, Qt::NoButton, button);
    }
    Send(view, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    state.counters["renders"] = view.RenderCount();
}
BENCHMARK(BM_DragStep)
    ->Args({10'000'000, 0})
    ->Args({10'000'000, 1})
    ->Args({200'000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace kresograf

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
