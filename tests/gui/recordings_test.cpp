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

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RecordingsTest : public GuiTest {
  protected:
    // A finished recording of 3000 scans over three inputs, still the program's own file.
    QString Record(CZefraKrgDoc& doc);
};

QString RecordingsTest::Record(CZefraKrgDoc& doc) {
    SetFastParams(doc, {0, 1, 2}, 3000);
    frame_->RunCommand(ID_REC_START);
    EXPECT_TRUE(WaitFor([&] { return !prompts_.Registered.empty(); }));
    EXPECT_TRUE(WaitIdle());
    const auto store = doc.Store(doc.CurrentSet.load());
    return store != nullptr && store->File != nullptr
               ? QFile::decodeName(store->File->Path().c_str())
               : QString();
}

TEST_F(RecordingsTest, InterruptedRecordingsAreOfferedAndOpenedOrRemovedAndUnsavedOnesGoOnClosing) {
    CZefraKrgDoc& first = *frame_->NewDocument()->Doc;
    const QString own = Record(first);
    ASSERT_TRUE(QFile::exists(own));
    // Two copies of it stand for recordings a killed program left behind.
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/kresograf/recordings";
    const QString kept = folder + "/rejestracja-20200101-000000.kgd";
    const QString declined = folder + "/rejestracja-20200101-000001.kgd";
    ASSERT_TRUE(QFile::copy(own, kept) && QFile::copy(own, declined));
    const RegisteredParamsRequest registered = prompts_.Registered[0].Request;

    // Closed without saving ("Nie"), its window takes the recording's file with it.
    frame_->MdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(WaitFor([&] { return !QFile::exists(own); }));

    prompts_.InterruptedAnswers = {FramePrompts::InterruptedAnswer::Open,
                                   FramePrompts::InterruptedAnswer::Remove};
    frame_->OfferInterruptedRecordings();
    EXPECT_EQ(prompts_.InterruptedQuestions, (QStringList{kept, declined}));
    EXPECT_FALSE(QFile::exists(declined));
    ASSERT_EQ(frame_->Documents().size(), 1u);
    const CZefraKrgDoc& back = *frame_->Documents()[0]->Doc;
    EXPECT_TRUE(back.Modified.load());
    EXPECT_EQ(back.SampleCount[back.CurrentSet.load()], 3000u);
    frame_->RunCommand(ID_REGISTERED_PARAMS);
    ASSERT_EQ(prompts_.Registered.size(), 2u);
    EXPECT_EQ(prompts_.Registered[1].Request.Params, registered.Params);
    EXPECT_EQ(prompts_.Registered[1].Request.Trigger, registered.Trigger);

    // Ending the program with "Nie" to the save question removes it too.
    EXPECT_TRUE(frame_->close());
    EXPECT_EQ(prompts_.SaveQuestions, (QStringList{"Kresograf1", "rejestracja-20200101-000000"}));
    frame_.reset();
    EXPECT_FALSE(QFile::exists(kept));
}

TEST_F(RecordingsTest, ACopiedSaveShowsItsProgressAndACancelLeavesEverythingAsItWas) {
    GuiDocument& document = *frame_->NewDocument();
    const QString own = Record(*document.Doc);
    const QByteArray recorded = Bytes(own);
    ASSERT_FALSE(recorded.isEmpty());
    const QString target = TempPath("pomiar.kgd");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("stary") == 5);
    old.close();

    DocumentCommands& files = frame_->Files();
    files.ForceCopyOnSave = true;
    files.SaveProgressDelayMs = 0;
    bool shown = false;
    files.SaveProgressShown = [&](QProgressDialog& dialog) {
        shown = dialog.isVisible();
        QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
    };
    prompts_.SaveNames = {target};
    frame_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(document.Doc->Modified.load());
    EXPECT_TRUE(document.Path.isEmpty());
    EXPECT_EQ(Bytes(own), recorded);
    EXPECT_EQ(Bytes(target), QByteArray("stary"));
    EXPECT_TRUE(prompts_.Messages.empty());

    // Not cancelled, the copy takes the target's place and the recording leaves its folder.
    files.SaveProgressShown = nullptr;
    prompts_.SaveNames = {target};
    frame_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_FALSE(document.Doc->Modified.load());
    EXPECT_FALSE(QFile::exists(own));
    const QByteArray saved = Bytes(target);
    EXPECT_EQ(saved, recorded);
}

TEST_F(RecordingsTest, AFileCutShortUnderTheProgramIsToldOnce) {
    TakeShot();
    const QString saved = TempPath("pomiar.kgd");
    const QString copy = TempPath("kopia.kgd");
    prompts_.SaveNames = {saved};
    frame_->RunCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(QFile::copy(saved, copy));
    GuiDocument* opened = frame_->OpenDocumentFile(copy);
    ASSERT_NE(opened, nullptr);
    // Another program empties the file; a reader (as the views are) then gets zeros.
    ASSERT_EQ(::truncate(QFile::encodeName(copy).constData(), 0), 0);
    const CZefraKrgDoc& doc = *opened->Doc;
    EXPECT_EQ(doc.Column(doc.CurrentSet.load(), 0)[999], 0);
    ASSERT_TRUE(WaitFor([&] { return !prompts_.Messages.empty(); }));
    QTest::qWait(600);
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(prompts_.Messages[0].Text, "Wystąpił błąd podczas odczytu pliku.");
}

}  // namespace
}  // namespace kresograf
