#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPainter>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <numbers>

#include "analysis/spectrum_texts.h"
#include "base/translation.h"
#include "gui/shell/command_table.h"
#include "gui/view/spectrum_plot.h"
#include "gui/view/spectrum_window.h"
#include "gui/view/zefra_krg_view.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

// 20 s of inputs 1 (50 Hz sine of 4 V) and 3 (20 Hz square of +-2 V) at 5000 scans a second:
// 100 000 scans, more than the window computes on its own thread.
void Record(CZefraKrgDoc& doc) {
    constexpr uint32_t Scans = 100'000;
    doc.ResizeSet(0, Scans);
    for (uint32_t k = 0; k < Scans; ++k) {
        const double t = k / 5000.0;
        doc.ScanTime[0][k] = static_cast<int32_t>(2 * k);
        doc.Samples[0][0][k] =
            static_cast<int32_t>(std::lround(4096 * 4 * std::sin(2 * std::numbers::pi * 50 * t)));
        doc.Samples[0][2][k] = (k / 125) % 2 == 0 ? 8192 : -8192;
    }
    doc.ChannelPresent[0] = {1, 0, 1, 0, 0, 0, 0, 0};
    doc.SampleCount[0] = Scans;
    doc.Register(AcquisitionParams{.Divisor = 800, .Prescaler = 1}, TriggerParams{});
}

std::string Cell(const CSpectrumWindow& w, int row, int column) {
    const QTableWidgetItem* item = w.PeaksTable()->item(row, column);
    return item != nullptr ? item->text().toStdString() : std::string();
}

TEST(SpectrumWindowTest, FollowsThePlotWindowItsMarkersAndChannelAndPrintsOnWhite) {
    SettingsRecord settings;
    GuiDocument document;
    Record(*document.Doc);
    CZefraKrgView view(document, settings);
    view.resize(600, 400);
    view.OnUpdate(HintInitial);
    CSpectrumWindow window(settings);
    window.show();
    window.Follow(&view);
    auto waitForNext = [&window](int before) {
        return QTest::qWaitFor([&] { return window.ShownCount() > before; }, 20000);
    };
    // The whole recording goes to the helper: the window says so until the spectrum arrives.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.SummaryLabel()->text() == Tr(SpectrumLabels::Computing); }));
    ASSERT_TRUE(waitForNext(0));
    EXPECT_EQ(Cell(window, 0, 0), "50.00");
    EXPECT_EQ(Cell(window, 0, 1), "2.828");
    EXPECT_EQ(Cell(window, 0, 2), "9.0");
    EXPECT_EQ(window.SummaryLabel()->text().toStdString(),
              "Kanał 1: 0.000 … 20.000 s, liczba próbek 100000, rozdzielczość 0.0500 Hz");
    // The picture is painted (where its peak stands is the spectrum picture's own test).
    const PictureRect plot = window.Plot()->ShownPicture().Plot;
    EXPECT_GT(
        CountColor(window.Plot()->BackBuffer(), ToQRect(plot), Rgb(settings.ChannelColors[0])), 0);

    // Markers of the active channel on: the spectrum of the samples between them, at once.
    int count = window.ShownCount();
    view.Plot().Markers[0] = {2500, 7500, 1};
    view.UpdateMarkersWindow(0);
    ASSERT_TRUE(waitForNext(count));
    EXPECT_EQ(window.SummaryLabel()->text().toStdString(),
              "Kanał 1: 0.500 … 1.500 s, liczba próbek 5001, rozdzielczość 1.000 Hz");
    EXPECT_EQ(Cell(window, 0, 0), "50.00");

    // Another active channel, then another window: the square's odd harmonics.
    count = window.ShownCount();
    view.Apply(view.Plot().SetActiveChannel(2));
    ASSERT_TRUE(waitForNext(count));
    count = window.ShownCount();
    window.SetWindow(SpectrumWindow::Blackman);
    ASSERT_TRUE(waitForNext(count));
    EXPECT_EQ(window.Shown().Window, SpectrumWindow::Blackman);
    EXPECT_EQ(Cell(window, 0, 0), "20.00");
    EXPECT_EQ(Cell(window, 0, 1), "1.801");
    EXPECT_EQ(Cell(window, 1, 0), "60.00");
    EXPECT_EQ(Cell(window, 2, 0), "100.00");

    // On paper: white, no black plot, the trace in its print colour (white prints black).
    QImage page(800, 1000, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        window.PaintPrintedPage(painter);
    }
    EXPECT_GT(CountColor(page, page.rect(), qRgb(255, 255, 255)), 800 * 1000 * 7 / 10);
    EXPECT_GT(CountColor(page, page.rect(), Rgb(settings.PrintColor(2))), 100);
    // The copy with negation: the black plot turns white, the grey around it stays.
    const QImage negated = window.Plot()->ViewImage(true);
    EXPECT_EQ(negated.pixel(plot.Left + 5, plot.Top + 5), qRgb(255, 255, 255));
    EXPECT_EQ(negated.pixel(1, 1), qRgb(192, 192, 192));
}

// The simulated card's inputs 1 (50 Hz sine of 4 V) and 2 (20 Hz square of +-2 V) in "Widmo",
// opened by Alt+W, M; copies go to it once the user worked in it, also through the menu bar.
TEST_F(GuiTest, SpectrumWindowOpensFromTheViewMenuAndFollowsTheActivePlot) {
    TakeShot({0, 1}, 20000);
    CZefraKrgView* first = frame_->ActiveView();
    auto* spectrum = frame_->findChild<CSpectrumWindow*>();
    QTest::keyClick(frame_.get(), Qt::Key_W, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_M);
    ASSERT_TRUE(WaitFor([&] { return spectrum->isVisible(); }));
    EXPECT_TRUE(frame_->Action(ID_SPECTRUM_WINDOW)->isChecked());
    auto shows = [&](const char* hz, double rms) {
        return WaitFor([&] {
            const double value = QString::fromStdString(Cell(*spectrum, 0, 1)).toDouble();
            return Cell(*spectrum, 0, 0) == hz && std::abs(value - rms) < 0.01 * rms;
        });
    };
    EXPECT_TRUE(shows("50.00", 2.828));
    frame_->RunCommand(ID_ACTIVE_CHANNEL1 + 1);
    EXPECT_TRUE(shows("20.00", 1.801));
    frame_->RunCommand(ID_WINDOW_NEW);  // its active channel is input 1
    EXPECT_TRUE(shows("50.00", 2.828));

    spectrum->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(spectrum));
    QTest::mouseClick(frame_->menuBar(), Qt::LeftButton, {}, {frame_->menuBar()->width() - 3, 3});
    frame_->RunCommand(ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), spectrum->Plot()->size());
    QTest::mouseClick(first, Qt::MiddleButton);
    frame_->RunCommand(ID_EDIT_COPY_NEGATED);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), first->size());

    // The plot windows go: the spectrum window says there is none and shows no peaks.
    frame_->MdiArea()->closeAllSubWindows();
    EXPECT_TRUE(WaitFor([&] {
        return spectrum->SummaryLabel()->text() == Tr(SpectrumLabels::NoPlot) &&
               spectrum->PeaksTable()->rowCount() == 0;
    }));
}

}  // namespace
}  // namespace kresograf
