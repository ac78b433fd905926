#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "gui/shell/command_table.h"
#include "gui/view/markers_window.h"
#include "gui/view/plot_print.h"
#include "gui/view/zefra_krg_view.h"
#include "gui_fixture.h"
#include "view/marker_texts.h"

namespace kresograf {
namespace {

class PlotInteraction : public GuiTest {
  protected:
    // A shot of inputs 1 and 3 in a view of exactly 500 x 300 pixels, window 0 … 1000 and
    // input 1 at -500 … 500.
    CZefraKrgView* ShotView() {
        TakeShot();
        CZefraKrgView* view = frame_->ActiveView();
        QWidget* window = view->parentWidget();
        window->showNormal();
        window->resize(window->size() - view->size() + QSize(500, 300));
        EXPECT_TRUE(WaitFor([&] { return view->size() == QSize(500, 300); }));
        PlotView& plot = view->Plot();
        plot.XStart = 0;
        plot.XEnd = 1000;
        plot.YMin[0] = -500;
        plot.YMax[0] = 500;
        plot.ResetHistory();
        plot.PushHistory();
        view->RenderPlot();
        return view;
    }
    static void Move(QWidget* view, Qt::MouseButton held, Qt::KeyboardModifiers keys, QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, held, keys);
        QApplication::sendEvent(view, &move);
    }
    static void Drag(QWidget* view, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint from,
                     QPoint to) {
        QTest::mousePress(view, button, keys, from);
        Move(view, button, keys, to);
        QTest::mouseRelease(view, button, keys, to);
    }
};

TEST_F(PlotInteraction, DragsPanStretchZoomAndWalkTheHistory) {
    CZefraKrgView* view = ShotView();
    PlotView& plot = view->Plot();
    // Right drag 10 px right and 15 px down: dx = MulDiv(1000, -10, 500) - 1 = -21,
    // dy = MulDiv(1000, 15, 300) + 1 = 51.
    Drag(view, Qt::RightButton, {}, {100, 100}, {110, 115});
    EXPECT_EQ(plot.XStart, -21);
    EXPECT_EQ(plot.YMax[0], 551);

    // Stretch past the value limit is refused while its time part applies: 10 px left gives
    // dx = 21; 15 px down would widen -327000 … 327000 by 32701 on each side.
    plot.YMin[0] = -327000;
    plot.YMax[0] = 327000;
    Drag(view, Qt::LeftButton, {}, {200, 100}, {190, 115});
    EXPECT_EQ(plot.XEnd, 1000);
    EXPECT_EQ(plot.YMax[0], 327000);

    QTest::mouseDClick(view, Qt::LeftButton, {}, {50, 50});
    QTest::mouseDClick(view, Qt::LeftButton, {}, {50, 50});
    EXPECT_EQ(plot.YMax[0], 500);
    QTest::mouseDClick(view, Qt::RightButton, {}, {50, 50});
    EXPECT_EQ(plot.XStart, -21);

    // Ctrl+drag from (60, 50) to (100, 150): the rubber band is drawn over the picture, not
    // into it, and its rectangle becomes the window.
    plot.XStart = 0;
    plot.XEnd = 1000;
    plot.YMin[0] = -500;
    plot.YMax[0] = 500;
    view->RenderPlot();
    const QImage picture = view->BackBuffer();
    QTest::mousePress(view, Qt::LeftButton, Qt::ControlModifier, {60, 50});
    Move(view, Qt::LeftButton, Qt::ControlModifier, {100, 150});
    EXPECT_EQ(view->BackBuffer(), picture);
    const QImage shown = view->ViewImage(false);
    EXPECT_EQ(shown.pixel(60, 100), ~picture.pixel(60, 100) | 0xFF000000u);
    // Escape cancels the drag and keeps the scales.
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::ControlModifier, {100, 150});
    EXPECT_EQ(plot.XEnd, 1000);
    EXPECT_EQ(view->ViewImage(false), picture);
    Drag(view, Qt::LeftButton, Qt::ControlModifier, {60, 50}, {100, 150});
    EXPECT_GT(plot.XStart, 0);
}

TEST_F(PlotInteraction, MarkersFollowShiftClicksAndArrowsIntoTheMarkersWindow) {
    CZefraKrgView* view = ShotView();
    PlotView& plot = view->Plot();
    frame_->RunCommand(ID_AUTOSCALE);  // the markers' samples inside the plot
    CZnacznikiDlg* window = frame_->MarkersWindow();
    frame_->RunCommand(ID_MARKERS_WINDOW);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(frame_->Action(ID_MARKERS_WINDOW)->isChecked());

    QTreeWidgetItem* branch = window->Branch(view->parentWidget());
    ASSERT_NE(branch, nullptr);
    EXPECT_EQ(branch->childCount(), 8);
    QTreeWidgetItem* channel1 = branch->child(0);
    EXPECT_TRUE(channel1->child(3)->isHidden());

    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, {200, 150});
    ASSERT_EQ(plot.Markers[0].Shown, 1u);
    const uint32_t left = plot.Markers[0].Left;
    const CZefraKrgDoc& doc = *view->Document().Doc;
    const uint32_t set = doc.CurrentSet.load();
    const double volts = doc.Column(set, 0)[left] * frame_->Settings().ChannelScale[0];
    // The left marker's value (the line's form is the marker texts' test).
    const QRegularExpression value(QStringLiteral("y = (-?\\d+\\.\\d{3}) V$"));
    QRegularExpressionMatch match = value.match(channel1->child(0)->text(0));
    ASSERT_TRUE(match.hasMatch()) << channel1->child(0)->text(0).toStdString();
    EXPECT_NEAR(match.captured(1).toDouble(), volts, 0.0006);
    EXPECT_FALSE(channel1->child(7)->isHidden());

    const std::vector<MarkerOverlay> overlays = plot.MarkerOverlays();
    ASSERT_FALSE(overlays.empty());
    const MarkerOverlay& overlay = overlays.front();
    // Every pixel of the sprite inside the plot is drawn in the channel's colour over the picture.
    const QRgb white = Rgb(frame_->Settings().ChannelColors[0]);
    const QImage shown = view->ViewImage(false);
    const MarkerSpritePattern sprite = MarkerSprite();
    int drawn = 0;
    for (int y = overlay.Dest.Top; y < overlay.Dest.Bottom; ++y) {
        for (int x = overlay.Dest.Left; x < overlay.Dest.Right; ++x) {
            if (sprite[y - overlay.Centre.Y + 8][x - overlay.Centre.X + 8]) {
                EXPECT_EQ(shown.pixel(x, y) & 0xFFFFFF, white & 0xFFFFFF) << x << "," << y;
                ++drawn;
            }
        }
    }
    // At least the half of the sprite on the sample's side of a plot edge it may sit on.
    EXPECT_GT(drawn, 20);

    const QString before = channel1->child(0)->text(0);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(plot.Markers[0].Left, left + 1);
    EXPECT_NE(channel1->child(0)->text(0), before);
    QTest::keyClick(view, Qt::Key_Left);
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(plot.Markers[0].Left, left - 1);
    QTest::mouseClick(view, Qt::RightButton, Qt::ShiftModifier, {400, 150});
    const uint32_t right = plot.Markers[0].Right;
    EXPECT_GT(right, left);
    QTest::keyClick(view, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(plot.Markers[0].Right, right - 1);

    // A second window of the document gets its own branch; closing it removes the branch.
    CZefraKrgView* second = frame_->Files().NewView(view->Document());
    QWidget* secondFrame = second->parentWidget();
    ASSERT_NE(window->Branch(secondFrame), nullptr);
    secondFrame->close();
    EXPECT_TRUE(WaitFor([&] { return window->Tree()->topLevelItemCount() == 1; }));

    frame_->RunCommand(ID_MARKERS);
    EXPECT_EQ(channel1->child(0)->text(0).toStdString(), FormatMarkerItems({}).Left);
    EXPECT_TRUE(channel1->child(3)->isHidden());
    frame_->RunCommand(ID_MARKERS_WINDOW);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(frame_->Action(ID_MARKERS_WINDOW)->isChecked());
}

TEST_F(PlotInteraction, ChannelKeysAndMenusChooseOnlyShownPresentChannels) {
    CZefraKrgView* view = ShotView();
    PlotView& plot = view->Plot();

    // The keys and menus reach the view's channel rules (the rules are the view's own tests').
    QTest::keyClick(view, Qt::Key_2);  // input 2 holds no data
    EXPECT_EQ(plot.ActiveChannel, 0);
    EXPECT_FALSE(frame_->Action(ID_ACTIVE_CHANNEL1 + 1)->isEnabled());
    QTest::keyClick(view, Qt::Key_3);
    EXPECT_EQ(plot.ActiveChannel, 2);
    EXPECT_TRUE(frame_->Action(ID_ACTIVE_CHANNEL1 + 2)->isChecked());
    QTest::keyClick(view, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(plot.RightChannel, 0);

    frame_->RunCommand(ID_SHOW_CHANNEL1);
    EXPECT_FALSE(frame_->Action(ID_SHOW_CHANNEL1)->isChecked());
    frame_->RunCommand(ID_SHOW_CHANNEL1 + 2);
    EXPECT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(plot.ChannelVisible[2], 1u);
}

TEST_F(PlotInteraction, PrintedPageAndNegatedCopy) {
    CZefraKrgView* view = ShotView();
    PlotView& plot = view->Plot();
    const SettingsRecord& settings = frame_->Settings();
    frame_->RunCommand(ID_ACTIVE_CHANNEL1 + 2);
    frame_->RunCommand(ID_MARKERS);
    ASSERT_TRUE(plot.MarkersChecked());

    auto printPage = [&] {
        QImage page(827, 1169, QImage::Format_RGB32);  // A4 at 100 dots per inch
        page.setDotsPerMeterX(3937);
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        QPainter painter(&page);
        PaintPrintedPage(plot, painter);
        return page;
    };
    QImage page = printPage();
    const QRect all = page.rect();
    EXPECT_GT(CountColor(page, all, qRgb(0, 0, 0)), 1000);     // input 1, white on screen
    EXPECT_GT(CountColor(page, all, qRgb(255, 0, 255)), 500);  // input 3, green on screen
    EXPECT_EQ(CountColor(page, all, qRgb(0, 255, 0)), 0);      // no screen colours, no sprite
    const QRect middle(200, 200, 400, 700);                    // no labels here
    EXPECT_GT(CountColor(page, middle, Rgb(settings.GridColor)), 100);
    frame_->RunCommand(ID_GRID);
    page = printPage();
    EXPECT_EQ(CountColor(page, middle, Rgb(settings.GridColor)), 0);

    const QImage plain = view->ViewImage(false);
    frame_->RunCommand(ID_EDIT_COPY_NEGATED);
    const QImage negated =
        QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(negated.size(), view->size());
    const QRect inside = ToQRect(plot.PlotRect).adjusted(2, 2, -2, -2);
    EXPECT_GT(CountColor(negated, inside, qRgb(255, 255, 255)),
              inside.width() * inside.height() / 2);
    EXPECT_EQ(CountColor(negated, inside, qRgb(0, 0, 0)),
              CountColor(plain, inside, qRgb(255, 255, 255)));
    const QRect margin(0, 0, plot.PlotRect.Left, view->height());
    EXPECT_EQ(negated.copy(margin), plain.copy(margin));
    frame_->RunCommand(ID_EDIT_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), plain);
}

}  // namespace
}  // namespace kresograf
