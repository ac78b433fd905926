#include <QAction>
#include <QProcess>
#include <QProcessEnvironment>

#include "gui/shell/command_table.h"
#include "gui/view/plot_render.h"
#include "gui/view/zefra_krg_view.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

TEST_F(GuiTest, ScaleCommandsChangeThePicture) {
    GuiDocument* document = TakeShot();
    CZefraKrgView* view = frame_->ActiveView();
    ASSERT_NE(view, nullptr);
    const QRgb grid = Rgb(frame_->Settings().GridColor);
    const QRect inside = ToQRect(view->Plot().PlotRect).adjusted(2, 2, -2, -2);

    QImage before = view->BackBuffer();
    EXPECT_GT(CountColor(before, inside, grid), 0);
    frame_->RunCommand(ID_GRID);
    EXPECT_FALSE(frame_->Action(ID_GRID)->isChecked());
    EXPECT_EQ(CountColor(view->BackBuffer(), inside, grid), 0);
    frame_->Action(ID_GRID)->trigger();
    EXPECT_EQ(view->BackBuffer(), before);

    // Zero of Y centres the active channel's range on zero: the picture moves.
    PlotView& plot = view->Plot();
    plot.YMin[0] = 1000;
    plot.YMax[0] = 9001;
    view->RenderPlot();
    before = view->BackBuffer();
    frame_->RunCommand(ID_FIX_Y_ZERO);
    EXPECT_NE(view->BackBuffer(), before);

    // Autoscale fits the trace to the plot: it then reaches near the plot's top and bottom.
    plot.YMin[0] = -300000;
    plot.YMax[0] = 300000;
    view->RenderPlot();
    before = view->BackBuffer();
    frame_->Action(ID_AUTOSCALE)->trigger();
    auto rowsWithTrace = [&](const QImage& image) {
        int rows = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            const QRect row(inside.left(), y, inside.width(), 1);
            rows += CountColor(image, row, Rgb(frame_->Settings().ChannelColors[0])) > 0;
        }
        return rows;
    };
    EXPECT_GT(rowsWithTrace(view->BackBuffer()), inside.height() * 8 / 10);
    EXPECT_LT(rowsWithTrace(before), inside.height() / 10);
    EXPECT_TRUE(document->Doc->Modified.load());

    // Linked scales fitted to both inputs: both traces are in the plot.
    frame_->RunCommand(ID_LINK_SCALES);
    frame_->RunCommand(ID_AUTOSCALE);
    for (int channel : {0, 2}) {
        const QRgb trace = Rgb(frame_->Settings().ChannelColors[channel]);
        EXPECT_GT(CountColor(view->BackBuffer(), inside, trace), inside.width() / 4) << channel;
    }
}

TEST_F(GuiTest, TheProgramRendersAndPrintsASavedFileWithoutADisplay) {
    GuiDocument* document = TakeShot();
    const QString path = TempPath("render.kgd");
    prompts_.SaveNames = {path};
    ASSERT_TRUE(frame_->Files().SaveDocumentAs(*document));

    // A fresh view of the saved file at the size of the image.
    CZefraKrgView* view = frame_->Files().NewView(*document);
    QWidget* window = view->parentWidget();
    window->showNormal();
    window->resize(window->size() - view->size() + QSize(800, 500));
    ASSERT_TRUE(WaitFor([&] { return view->size() == QSize(800, 500); }));
    view->OnUpdate(HintInitial);
    const QImage shown = view->BackBuffer();
    EXPECT_GT(
        CountColor(shown, ToQRect(view->Plot().PlotRect), Rgb(frame_->Settings().ChannelColors[0])),
        100);

    // The program itself, with no display at all.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    environment.insert("XDG_CONFIG_HOME", TempPath("config"));
    process.setProcessEnvironment(environment);
    auto run = [&process](const QStringList& arguments) {
        process.start(KRESOGRAF_EXECUTABLE, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return process.exitCode();
    };
    const QString png = TempPath("render.png");
    EXPECT_EQ(run({"--render", path, png, "--size", "800x500"}), 0)
        << process.readAllStandardError().toStdString();
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), shown);
    const QString pdf = TempPath("render.pdf");
    EXPECT_EQ(run({"--print", path, pdf, "--size", "Letter"}), 0)
        << process.readAllStandardError().toStdString();
    EXPECT_TRUE(ReadBytes(pdf).startsWith("%PDF"));
    EXPECT_FALSE(QFileInfo::exists(pdf + ".part"));

    // A file that is not a document, or none: a message and no picture, no page.
    ASSERT_TRUE(WriteBytes(TempPath("bogus.kgd"), "not a document"));
    EXPECT_NE(run({"--render", TempPath("bogus.kgd"), TempPath("bogus.png")}), 0);
    EXPECT_FALSE(process.readAllStandardError().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(TempPath("bogus.png")));
    EXPECT_NE(run({"--print", TempPath("missing.kgd"), TempPath("m.pdf")}), 0);
    EXPECT_FALSE(QFileInfo::exists(TempPath("m.pdf")));
}

}  // namespace
}  // namespace kresograf
