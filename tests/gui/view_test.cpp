#include <QAction>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include "document/kgd_file.h"
#include "gui_fixture.h"
#include "shell/command_table.h"
#include "view/picture_painter.h"
#include "view/plot_render.h"
#include "view/zefra_krg_view.h"

namespace kresograf {
namespace {

// A document holding one oscilloscope shot of inputs 0 and 2, taken through the real program.
GuiDocument* TakeShot(CMainFrame& frame) {
    GuiDocument* document = frame.NewDocument();
    CZefraKrgDoc& doc = *document->Doc;
    AcquisitionParams params;
    TriggerParams trigger;
    doc.WorkingBlock(params, trigger);
    params.Divisor = 84;
    params.ChannelCount = 2;
    params.Channels = {0, 2};
    params.TotalSamples = 2000;
    doc.SetWorking(params, trigger);
    frame.RunCommand(ID_OSC_START);
    EXPECT_TRUE(QTest::qWaitFor([&] { return doc.SampleCount[doc.CurrentSet.load()] > 0; }, 20000));
    frame.RunCommand(ID_OSC_START);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return frame.Settings().AcquiringDocId.load() == 0 && !frame.Runner().Busy(); },
        20000));
    return document;
}

TEST_F(GuiTest, ScaleCommandsChangeThePictureAndCarryTheirCheckMarks) {
    GuiDocument* document = TakeShot(*frame_);
    CZefraKrgView* view = frame_->ActiveView();
    ASSERT_NE(view, nullptr);
    const QRgb grid = ColorFromRef(frame_->Settings().GridColor).rgb();
    const QRgb trace0 = ColorFromRef(frame_->Settings().ChannelColors[0]).rgb();
    const QRect inside = ToQRect(view->Plot().PlotRect).adjusted(2, 2, -2, -2);

    frame_->UpdateCommandStates();
    EXPECT_TRUE(frame_->Action(ID_GRID)->isChecked());
    EXPECT_FALSE(frame_->Action(ID_LINK_SCALES)->isChecked());

    QImage before = view->BackBuffer();
    EXPECT_GT(CountColor(before, inside, grid), 0);
    frame_->RunCommand(ID_GRID);
    EXPECT_FALSE(frame_->Action(ID_GRID)->isChecked());
    EXPECT_EQ(CountColor(view->BackBuffer(), inside, grid), 0);
    frame_->Action(ID_GRID)->trigger();
    EXPECT_TRUE(frame_->Action(ID_GRID)->isChecked());
    EXPECT_EQ(view->BackBuffer(), before);

    // Linking changes the state but not the picture.
    const int renders = view->RenderCount();
    frame_->RunCommand(ID_LINK_SCALES);
    EXPECT_TRUE(frame_->Action(ID_LINK_SCALES)->isChecked());
    EXPECT_EQ(view->Plot().LinkedScales, 1u);
    EXPECT_EQ(view->RenderCount(), renders);
    frame_->RunCommand(ID_LINK_SCALES);
    EXPECT_FALSE(frame_->Action(ID_LINK_SCALES)->isChecked());

    // Zero of Y centres the active channel's range on zero: the picture moves.
    PlotView& plot = view->Plot();
    plot.YMin[0] = 1000;
    plot.YMax[0] = 9001;
    view->RenderPlot();
    before = view->BackBuffer();
    frame_->RunCommand(ID_FIX_Y_ZERO);
    EXPECT_EQ(plot.YMin[0], -4000);
    EXPECT_EQ(plot.YMax[0], 4000);
    EXPECT_NE(view->BackBuffer(), before);

    // Autoscale fits the trace to the plot: it then reaches near the plot's top and bottom.
    plot.YMin[0] = -300000;
    plot.YMax[0] = 300000;
    view->RenderPlot();
    before = view->BackBuffer();
    frame_->Action(ID_AUTOSCALE)->trigger();
    EXPECT_NE(view->BackBuffer(), before);
    const QImage fitted = view->BackBuffer();
    auto rowsWithTrace = [&](const QImage& image) {
        int rows = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            rows += CountColor(image, QRect(inside.left(), y, inside.width(), 1), trace0) > 0;
        }
        return rows;
    };
    EXPECT_GT(rowsWithTrace(fitted), inside.height() * 8 / 10);
    EXPECT_LT(rowsWithTrace(before), inside.height() / 10);

    // Align gives the other shown channels the active one's range; zero of X starts at 0.
    frame_->RunCommand(ID_ALIGN_SCALES);
    EXPECT_EQ(plot.YMin[2], plot.YMin[0]);
    EXPECT_EQ(plot.YMax[2], plot.YMax[0]);
    plot.XStart = -500;
    plot.XEnd = 1500;
    frame_->RunCommand(ID_FIX_X_ZERO);
    EXPECT_EQ(plot.XStart, 0);
    EXPECT_EQ(plot.XEnd, 2000);
    EXPECT_TRUE(document->Doc->Modified.load());
}

TEST_F(GuiTest, ResizingRendersAtTheNewSize) {
    TakeShot(*frame_);
    CZefraKrgView* view = frame_->ActiveView();
    const int renders = view->RenderCount();
    QWidget* window = view->parentWidget();
    window->resize(window->width() + 37, window->height() + 21);
    ASSERT_TRUE(WaitFor([&] { return view->BackBuffer().size() == view->size(); }));
    EXPECT_GT(view->RenderCount(), renders);
    EXPECT_EQ(view->Plot().PlotRect.Right, view->width() - view->Plot().AxisColumnWidth);
}

TEST_F(GuiTest, RenderedFileMatchesWhatANewViewShows) {
    GuiDocument* document = TakeShot(*frame_);
    const QString path = TempPath("render.kgd");
    prompts_.SaveNames = {path};
    ASSERT_TRUE(frame_->SaveDocumentAs(*document));

    // A fresh view of the opened file at the same size as the image.
    CZefraKrgView* view = frame_->NewView(*document);
    QWidget* window = view->parentWidget();
    window->showNormal();
    window->resize(window->size() - view->size() + QSize(800, 500));
    ASSERT_TRUE(WaitFor([&] { return view->size() == QSize(800, 500); }));
    view->OnUpdate(HintInitial);
    const QImage shown = view->BackBuffer();

    const QImage rendered =
        RenderDocumentImage(*document->Doc, frame_->Settings(), QSize(800, 500));
    EXPECT_EQ(rendered.convertToFormat(QImage::Format_RGB32), shown);
    const QRgb trace0 = ColorFromRef(frame_->Settings().ChannelColors[0]).rgb();
    EXPECT_GT(CountColor(rendered, ToQRect(view->Plot().PlotRect), trace0), 100);

    // The program itself, with no display at all.
    const QString png = TempPath("render.png");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("XDG_CONFIG_HOME", TempPath("config"));
    process.setProcessEnvironment(environment);
    process.start(KRESOGRAF_EXECUTABLE, {"--render", path, png, "--size", "800x500"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    QImage written(png);
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(800, 500));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), shown);

    // A file that is not a document: a message and no picture.
    QFile bogus(TempPath("bogus.kgd"));
    ASSERT_TRUE(bogus.open(QIODevice::WriteOnly));
    bogus.write("not a document");
    bogus.close();
    process.start(KRESOGRAF_EXECUTABLE, {"--render", bogus.fileName(), TempPath("bogus.png")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_FALSE(process.readAllStandardError().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TempPath("bogus.png")));
}

}  // namespace
}  // namespace kresograf
