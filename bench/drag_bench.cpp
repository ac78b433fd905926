// A drag step in a plot window: one mouse move of a right-button pan through the real widget,
// which re-renders the whole picture. A drag follows the mouse while this stays within a frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "gui/shell/gui_document.h"
#include "gui/view/zefra_krg_view.h"
#include "long_recording.h"

namespace kresograf {
namespace {

void Send(QWidget& view, QEvent::Type type, QPoint at, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = {}) {
    QMouseEvent event(type, at, view.mapToGlobal(at), button, buttons, keys);
    QApplication::sendEvent(&view, &event);
}

// state.range(1): 0 = pan with the right button, 1 = stretch with the left.
void BM_DragStep(benchmark::State& state) {
    GuiDocument document;
    FillLongRecording(*document.Doc, 0, static_cast<uint32_t>(state.range(0)));
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
