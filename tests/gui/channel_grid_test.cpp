#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "gui/widgets/channel_grid.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

const QStringList NoYes = {"Nie", "Tak"};

// A grid as the dialogs build it: eight rows of a channel name and a second typed cell.
struct GridFixture {
    explicit GridFixture(GridCell second) {
        grid.resize(200, 120);
        grid.SetReserveScrollBar(true);
        grid.InsertColumn(0, "Nr kanału", 70);
        grid.InsertColumn(1, "Aktywny", -1);
        for (int i = 0; i < 8; ++i) {
            grid.AppendRow({GridCell::MakeText(QString("Kanał %1").arg(i + 1), i), second});
        }
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    void Click(int row, int column) {
        const QPoint at = grid.ButtonRect(row, column).isEmpty()
                              ? grid.visualRect(grid.model()->index(row, column)).center()
                              : grid.ButtonRect(row, column).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    }
    CChannelGrid grid;
};

TEST(ChannelGrid, ToggleFlipsByMouseAndSpaceAndNotifies) {
    GridFixture f(GridCell::MakeToggle(NoYes, 0));
    QSignalSpy notified(&f.grid, &CChannelGrid::Notify);
    EXPECT_EQ(f.grid.Cell(2, 1).Shown(), "Nie");

    // The selected row shows the toggle's box; pressing it draws the check mark in the box.
    auto dark = [&] {
        return CountColor(f.grid.viewport()->grab().toImage(), f.grid.ButtonRect(2, 1),
                          qRgb(0, 0, 0));
    };
    // The first click on an unselected row's box only selects the row.
    f.Click(2, 1);
    EXPECT_EQ(f.grid.Value(2, 1), 0);
    EXPECT_TRUE(notified.isEmpty());
    const int emptyBox = dark();
    EXPECT_GT(emptyBox, 16);
    f.Click(2, 1);
    EXPECT_GT(dark(), emptyBox + 6);
    EXPECT_EQ(f.grid.Value(2, 1), 1);
    EXPECT_EQ(f.grid.Cell(2, 1).Shown(), "Tak");
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified[0][0].toInt(), 2);

    // Keyboard: down to row 3 from the channel column, Space flips that row's toggle.
    f.grid.setFocus();
    QTest::keyClick(&f.grid, Qt::Key_Down);
    QTest::keyClick(&f.grid, Qt::Key_Space);
    EXPECT_EQ(f.grid.Value(3, 1), 1);
    EXPECT_EQ(notified.size(), 2);
    // Setting a value from code says nothing.
    f.grid.SetValue(3, 1, 0);
    EXPECT_EQ(notified.size(), 2);
}

TEST(ChannelGrid, DropDownTakesTheReleasedItemAndScrollingClosesIt) {
    GridFixture f(GridCell::MakeChoice({"x1", "x10"}, 0));
    QSignalSpy notified(&f.grid, &CChannelGrid::Notify);
    f.Click(1, 1);
    EXPECT_EQ(f.grid.Popup(), nullptr);
    f.Click(1, 1);
    ChannelGridPopup* popup = f.grid.Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(notified.size(), 1);
    EXPECT_EQ(popup->height(), 3 * popup->sizeHintForRow(0));
    const QRect second = popup->visualItemRect(popup->item(1));
    QTest::mousePress(popup->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseRelease(popup->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(f.grid.Value(1, 1), 1);
    EXPECT_EQ(f.grid.Cell(1, 1).Shown(), "x10");
    EXPECT_EQ(notified.size(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.grid.Popup() == nullptr; }));

    f.grid.selectRow(0);
    f.Click(0, 1);
    ASSERT_NE(f.grid.Popup(), nullptr);
    f.grid.verticalScrollBar()->setValue(2);
    EXPECT_EQ(f.grid.Popup(), nullptr);
    EXPECT_EQ(f.grid.Value(0, 1), 0);
}

TEST(ChannelGrid, TextCellsEditInPlace) {
    GridFixture f(GridCell::MakeEdit("1.0"));
    f.Click(4, 1);
    QLineEdit* editor = f.grid.findChild<QLineEdit*>("GridEditor50001");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "1.0");
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "5");
    EXPECT_EQ(f.grid.Text(4, 1), "1.05");
    f.Click(5, 0);
    EXPECT_EQ(f.grid.Text(4, 1), "1.05");
}

}  // namespace
}  // namespace kresograf
