#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "gui/acquisition/params_window.h"
#include "gui/shell/command_table.h"
#include "gui/view/zefra_krg_view.h"
#include "gui/widgets/channel_grid.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

class ParamsWindowTest : public GuiTest {
  protected:
    CKanalyPropertyFrame& Window() { return *frame_->ParamsFrame(); }
    CKanalyPropertyPage1& General() { return Window().General(); }
    AcquisitionParams Working() { return doc_->WorkingParams(); }
    void ClickToggle(int row) { ClickGridButton(*General().Grid(), row); }
    void SetRate(int row) {
        General().RateList()->setCurrentIndex(row);
        QTest::mouseClick(General().ApplyRateButton(), Qt::LeftButton);
    }
    void SetDuration(const QString& text, int unit) {
        General().DurationEdit()->setText(text);
        General().UnitList()->setCurrentIndex(unit);
        QTest::mouseClick(General().ApplyDurationButton(), Qt::LeftButton);
    }
    void Open() {
        frame_->RunCommand(ID_ACQ_PARAMS);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window()));
        doc_ = frame_->ActiveDocument()->Doc.get();
    }
    CZefraKrgDoc* doc_ = nullptr;
};

TEST_F(ParamsWindowTest, OpensFromTheMenuByKeyboardAndHidesOnClose) {
    frame_->NewDocument();
    EXPECT_TRUE(Window().isHidden());
    QTest::keyClick(frame_.get(), Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_P);
    ASSERT_TRUE(WaitFor([&] { return Window().isVisible(); }));
    frame_->HandleAcquisitionMessage(WM_ACQ_STATUS, StatusTriggering);
    EXPECT_EQ(General().StatusLine()->text().toStdString(), StatusText(StatusTriggering));
    frame_->HandleAcquisitionMessage(WM_ACQ_STATUS, 7);
    EXPECT_EQ(General().StatusLine()->text(), "");
    QTest::keyClick(&Window(), Qt::Key_Escape);
    EXPECT_TRUE(Window().isHidden());

    // Closing one of two documents keeps the window; closing the last hides it.
    frame_->RunCommand(ID_ACQ_PARAMS);
    frame_->NewDocument();
    frame_->MdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(Window().isVisible());
    frame_->MdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(Window().isHidden());
}

TEST_F(ParamsWindowTest, GeneralPageSetsTheWorkingBlockAndCtrlTAcquiresIt) {
    frame_->NewDocument();
    Open();
    EXPECT_EQ(General().RateList()->currentText(), "1000 Hz");
    // The rate list opens about twelve rows tall, not as tall as the screen.
    QComboBox* rates = General().RateList();
    rates->showPopup();
    const int rows = rates->view()->window()->height() / rates->view()->sizeHintForRow(0);
    rates->hidePopup();
    EXPECT_GE(rows, 10);
    EXPECT_LE(rows, 14);

    // Three inputs at 1000 Hz for 10 ms; then not a number: told, and the previous value is used
    // with the unit now chosen (the arithmetic is the pages' own test's).
    ClickToggle(1);
    ClickToggle(2);
    SetRate(26);
    SetDuration("10", 0);
    SetDuration("1,5", 1);
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0], NotANumberMessage());
    EXPECT_EQ(General().DurationEdit()->text(), "10.000");

    // 95 000 Hz, three inputs, 1 s, and Ctrl+T.
    SetDuration("1", 1);
    SetRate(0);
    // Ctrl+T works from the parameters window itself.
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keyClick(&Window(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return doc_->SampleCount[doc_->CurrentSet.load()] > 0; }));
    // During the run the trigger page is locked; the end of the run unlocks it.
    QTabBar* tabs = Window().Sheet()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    EXPECT_FALSE(Window().Trigger().EdgeList()->isEnabled());
    QTest::keyClick(&Window(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Window().Trigger().EdgeList()->isEnabled());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    const AcquisitionParams registered = doc_->RegisteredParams();
    EXPECT_EQ(registered.Divisor, 84u);
    EXPECT_EQ(registered.ChannelCount, 3);
    EXPECT_EQ(doc_->SampleCount[doc_->CurrentSet.load()], 31746u);
    // The end of the run reloaded the page from the block.
    EXPECT_EQ(General().UnitList()->currentText(), "ms");
}

TEST_F(ParamsWindowTest, DifferentialModeAndTheTriggerPage) {
    frame_->NewDocument();
    Open();
    ClickToggle(5);
    ClickToggle(6);
    QTest::mouseClick(Window().Sheet()->tabBar(), Qt::LeftButton, {},
                      Window().Sheet()->tabBar()->tabRect(1).center());
    CKanalyPropertyPage2& trigger = Window().Trigger();
    EXPECT_FALSE(trigger.Slider()->isEnabled());
    trigger.EdgeList()->setCurrentIndex(0);
    Q_EMIT trigger.EdgeList()->activated(0);
    ASSERT_TRUE(trigger.Slider()->isEnabled());
    ASSERT_EQ(trigger.ChannelList()->count(), 3);
    trigger.ChannelList()->setCurrentIndex(1);
    Q_EMIT trigger.ChannelList()->activated(1);
    EXPECT_EQ(doc_->WorkingTrigger().Channel, 5);
    trigger.Slider()->setValue(736);
    // Keys typed into the window act there, never as the main window's accelerators.
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    trigger.Slider()->setFocus();
    QTest::keyClick(trigger.Slider(), Qt::Key_Right);
    QTest::keyClick(trigger.Slider(), Qt::Key_0);
    EXPECT_EQ(frame_->ActiveView()->Plot().LinkedScales, 0u);
    EXPECT_EQ(trigger.ThresholdEdit()->text(), "2.370");
    EXPECT_FLOAT_EQ(doc_->WorkingTrigger().ThresholdVolts, 2.37f);

    // Back on "Ogólne": differential on keeps input 1 only, and the trigger on 6 turns automatic.
    QTest::mouseClick(Window().Sheet()->tabBar(), Qt::LeftButton, {},
                      Window().Sheet()->tabBar()->tabRect(0).center());
    QTest::mouseClick(General().DifferentialBox(), Qt::LeftButton);
    EXPECT_EQ(General().Grid()->RowCount(), 4);
    EXPECT_EQ(Working().ChannelCount, 1);
    EXPECT_EQ(doc_->WorkingTrigger().Edge, EdgeAutomatic);
    QTest::mouseClick(General().DifferentialBox(), Qt::LeftButton);
    ASSERT_EQ(General().Grid()->RowCount(), 8);
    EXPECT_EQ(General().Grid()->Text(7, 0), "Kanał 8");
    EXPECT_EQ(General().Grid()->Cell(5, 1).Shown(), "Nie");

    // A second document binds the window to its own block; the first keeps its own.
    frame_->NewDocument();
    EXPECT_EQ(General().Grid()->Cell(0, 1).Shown(), "Tak");
    ClickToggle(3);
    EXPECT_EQ(frame_->ActiveDocument()->Doc->WorkingParams().ChannelCount, 2);
    EXPECT_EQ(Working().ChannelCount, 1);
}

}  // namespace
}  // namespace kresograf
