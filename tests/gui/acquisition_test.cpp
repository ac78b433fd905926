#include <unistd.h>
#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QThread>

#include "gui/acquisition/params_window.h"
#include "gui/shell/command_table.h"
#include "gui/view/plot_render.h"
#include "gui/view/zefra_krg_view.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

TEST_F(GuiTest, DocumentsRefuseToCloseWhileAcquiringAndOthersCannotStart) {
    GuiDocument* first = frame_->NewDocument();
    SetFastParams(*first->Doc, {0}, 200);
    QMdiSubWindow* firstWindow = frame_->MdiArea()->activeSubWindow();
    frame_->NewDocument();
    QMdiSubWindow* secondWindow = frame_->MdiArea()->activeSubWindow();

    frame_->MdiArea()->setActiveSubWindow(firstWindow);
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitFor([&] { return first->Doc->SampleCount[first->Doc->CurrentSet] > 0; }));

    // The actions follow the active document: its own start is the stop; the other's is off.
    // Printing (menu, toolbar, Ctrl+P: one action) waits for the acquiring document only.
    auto printable = [this](bool enabled) {
        for (int id : {ID_FILE_SAVE, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW}) {
            EXPECT_EQ(frame_->Action(id)->isEnabled(), enabled) << id;
        }
    };
    frame_->UpdateCommandStates();
    EXPECT_TRUE(frame_->Action(ID_OSC_START)->isChecked());
    printable(false);
    frame_->MdiArea()->setActiveSubWindow(secondWindow);
    frame_->UpdateCommandStates();
    EXPECT_FALSE(frame_->Action(ID_OSC_START)->isEnabled());
    printable(true);

    // Closing the acquiring document's window, or the program, is refused with the reason.
    const UserMessage refusal = *first->Doc->CloseCheck(first->Doc->DocId);
    EXPECT_FALSE(firstWindow->close());
    EXPECT_FALSE(frame_->close());
    EXPECT_EQ(prompts_.Messages, (std::vector<UserMessage>{refusal, refusal}));

    // Another document closes meanwhile (it is new and unchanged: no question, as the one
    // question below shows).
    EXPECT_TRUE(secondWindow->close());
    ASSERT_TRUE(WaitFor([&] { return frame_->Documents().size() == 1; }));

    frame_->MdiArea()->setActiveSubWindow(firstWindow);
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitIdle());
    // Now it may close; the shots made it modified, so the user is asked. Cancel keeps the
    // program, so does Save when its file dialog is cancelled; once saved, it closes.
    prompts_.NextSaveAnswer = FramePrompts::SaveAnswer::Cancel;
    EXPECT_FALSE(frame_->close());
    EXPECT_EQ(prompts_.SaveQuestions, QStringList{first->Title});
    prompts_.NextSaveAnswer = FramePrompts::SaveAnswer::Save;
    EXPECT_FALSE(frame_->close());
    prompts_.SaveNames = {TempPath("closing.kgd")};
    EXPECT_TRUE(frame_->close());
    EXPECT_TRUE(QFileInfo::exists(TempPath("closing.kgd")));
}

TEST_F(GuiTest, ARecordingGrowsOnScreenAndEndsWithItsParametersOnTheUiThreadAndItsWholePicture) {
    GuiDocument* document = frame_->NewDocument();
    CZefraKrgDoc& doc = *document->Doc;
    CZefraKrgView* view = frame_->ActiveView();
    // About two seconds at 95 000 Hz over two inputs.
    SetFastParams(doc, {0, 1}, 95'000);
    frame_->RunCommand(ID_REC_START);
    const QRgb trace = Rgb(frame_->Settings().ChannelColors[0]);
    ASSERT_TRUE(WaitFor([&] {
        return view->Plot().Live() && view->Plot().SampleCount() > 0 &&
               CountColor(view->BackBuffer(), ToQRect(view->Plot().PlotRect), trace) > 0;
    }));
    EXPECT_TRUE(prompts_.Registered.empty());
    EXPECT_EQ(doc.RecRunning.load(), 1u);

    ASSERT_TRUE(WaitFor([&] { return !prompts_.Registered.empty(); }));
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(prompts_.Registered.size(), 1u);
    EXPECT_TRUE(prompts_.Registered[0].OnUiThread);
    EXPECT_EQ(doc.SampleCount[doc.CurrentSet.load()], 95'000u);
    // The view is reset onto the whole recording.
    EXPECT_EQ(view->Plot().XStart, 0);
    EXPECT_EQ(view->Plot().XEnd, doc.Times(doc.CurrentSet.load())[94'999]);
    EXPECT_EQ(view->BackBuffer(), RenderDocumentImage(doc, frame_->Settings(), view->size()));
}

TEST_F(GuiTest, ARefusedStartIsToldAndLeavesTheTriggerPageAndTheStatusPaneIdle) {
    GuiDocument* document = frame_->NewDocument();
    CKanalyPropertyFrame& window = *frame_->ParamsFrame();
    window.Sheet()->setCurrentIndex(1);
    SetFastParams(*document->Doc, {}, 100);
    const QString idle = frame_->IdleText();
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_TRUE(WaitFor(
        [&] { return window.Trigger().EdgeList()->isEnabled() && frame_->IdleText() == idle; }));
}

TEST_F(GuiTest, DestroyingTheWindowWhileShotsRunNeverHangs) {
    GuiDocument* document = frame_->NewDocument();
    SetFastParams(*document->Doc, {0, 1, 2, 3}, 500);
    frame_->RunCommand(ID_OSC_START);
    CZefraKrgDoc& doc = *document->Doc;
    ASSERT_TRUE(WaitFor([&] { return doc.SampleCount[doc.CurrentSet.load()] > 0; }));
    // Stop running the UI queue, so the worker is soon blocked in a sent message. A deadlock
    // cannot report itself: the alarm's signal then ends the run as failed instead of hanging.
    alarm(30);
    QThread::msleep(50);
    frame_.reset();
    alarm(0);
}

}  // namespace
}  // namespace kresograf
