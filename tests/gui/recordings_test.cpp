#include <unistd.h>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "document/recording_file.h"
#include "document/scan_store.h"
#include "gui/shell/command_table.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

TEST_F(GuiTest, InterruptedRecordingsAreOfferedAndSavedByACancellableCopyOrRemoved) {
    CZefraKrgDoc& doc = *frame_->NewDocument()->Doc;
    SetFastParams(doc, {0, 1, 2}, 3000);
    frame_->RunCommand(ID_REC_START);
    ASSERT_TRUE(WaitFor([&] { return !prompts_.Registered.empty(); }) && WaitIdle());
    const QString own = QFile::decodeName(doc.Store(doc.CurrentSet.load())->File->Path().c_str());
    const QByteArray recorded = ReadBytes(own);
    // Two copies stand for recordings a killed program left behind.
    const QString kept = own.section('/', 0, -2) + "/rejestracja-20200101-000000.kgd";
    const QString declined = own.section('/', 0, -2) + "/rejestracja-20200101-000001.kgd";
    ASSERT_TRUE(QFile::copy(own, kept) && QFile::copy(own, declined));
    // Its window closed with "Nie", the document takes its recording's file with it.
    frame_->MdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(WaitFor([&] { return !QFile::exists(own); }));

    prompts_.InterruptedAnswers = {FramePrompts::InterruptedAnswer::Open,
                                   FramePrompts::InterruptedAnswer::Remove};
    frame_->OfferInterruptedRecordings();
    EXPECT_EQ(prompts_.InterruptedQuestions, (QStringList{kept, declined}));
    EXPECT_FALSE(QFile::exists(declined));
    ASSERT_EQ(frame_->Documents().size(), 1u);
    const GuiDocument& back = *frame_->Documents()[0];
    EXPECT_TRUE(back.Doc->Modified.load());
    frame_->RunCommand(ID_REGISTERED_PARAMS);
    ASSERT_EQ(prompts_.Registered.size(), 2u);
    EXPECT_EQ(prompts_.Registered[1].Request.Params, prompts_.Registered[0].Request.Params);

    // Saved by a copy, cancelled from its progress dialog: nothing changes.
    const QString target = TempPath("pomiar.kgd");
    ASSERT_TRUE(WriteBytes(target, "stary"));
    frame_->Files().ForceCopyOnSave = true;
    frame_->Files().SaveProgressDelayMs = 0;
    bool shown = false;
    frame_->Files().SaveProgressShown = [&](QProgressDialog& dialog) {
        shown = dialog.isVisible();
        QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
    };
    prompts_.SaveNames = {target, target};
    frame_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_TRUE(shown && back.Doc->Modified.load() && back.Path.isEmpty());
    EXPECT_EQ(ReadBytes(kept), recorded);
    EXPECT_EQ(ReadBytes(target), QByteArray("stary"));
    // Not cancelled, the copy takes the target's place and the recording leaves its folder.
    frame_->Files().SaveProgressShown = nullptr;
    frame_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_FALSE(back.Doc->Modified.load() || QFile::exists(kept));
    EXPECT_EQ(ReadBytes(target), recorded);
    EXPECT_TRUE(prompts_.Messages.empty());
}

TEST_F(GuiTest, AFileCutShortUnderTheProgramIsToldOnce) {
    TakeShot();
    prompts_.SaveNames = {TempPath("pomiar.kgd")};
    frame_->RunCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::copy(TempPath("pomiar.kgd"), TempPath("kopia.kgd")));
    const CZefraKrgDoc& doc = *frame_->OpenDocumentFile(TempPath("kopia.kgd"))->Doc;
    // Another program empties the file; a reader (as the views are) then gets zeros.
    ASSERT_EQ(::truncate(QFile::encodeName(TempPath("kopia.kgd")).constData(), 0), 0);
    EXPECT_EQ(doc.Column(doc.CurrentSet.load(), 0)[999], 0);
    ASSERT_TRUE(WaitFor([&] { return !prompts_.Messages.empty(); }));
    QTest::qWait(600);
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0].Text, "Wystąpił błąd podczas odczytu pliku.");
}

}  // namespace
}  // namespace kresograf
