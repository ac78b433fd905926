#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <optional>

#include "base/translation.h"
#include "card/simulated_card.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/help_loader.h"
#include "gui/shell/qt_settings_store.h"
#include "gui/shell/recent_file_list.h"
#include "gui/shell/splash_window.h"
#include "gui_fixture.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

TEST_F(GuiTest, CommandsKeepTheirKeysAndTheMenusFollowTheDocument) {
    const std::pair<int, const char*> keys[] = {
        {ID_AUTOSCALE, "Ctrl+A"}, {ID_ALIGN_SCALES, "Ctrl+L"}, {ID_LINK_SCALES, "0"},
        {ID_OSC_START, "Ctrl+T"}, {ID_HELP_FINDER, "F1"},      {ID_REC_START, ""}};
    for (const auto& [id, key] : keys) {
        EXPECT_EQ(frame_->Action(id)->shortcut(), QKeySequence(key)) << id;
    }
    // Ctrl+X and Ctrl+Y are named in the menu texts only.
    for (QAction* action : frame_->findChildren<QAction*>()) {
        EXPECT_NE(action->shortcut(), QKeySequence("Ctrl+X"));
        EXPECT_NE(action->shortcut(), QKeySequence("Ctrl+Y"));
    }
    // The toolbar's buttons are the menus' actions.
    EXPECT_TRUE(frame_->ToolBar()->actions().contains(frame_->Action(ID_FILE_PRINT)));

    auto visibleMenus = [this] {
        QStringList titles;
        for (QAction* action : frame_->menuBar()->actions()) {
            if (action->isVisible()) {
                titles << action->text();
            }
        }
        return titles;
    };
    EXPECT_EQ(visibleMenus(), (QStringList{"&Plik", "&Widok", "P&omoc"}));
    frame_->NewDocument();
    EXPECT_EQ(visibleMenus(), (QStringList{"&Plik", "&Edycja", "&Widok", "&Akwizycja", "&Generacja",
                                           "&Narzędzia", "O&kno", "P&omoc"}));
}

TEST_F(GuiTest, CaptionsNameTheActiveWindowAndNewWindowsCascade) {
    GuiDocument* document = frame_->NewDocument();
    document->Doc->Modified = true;
    frame_->RunCommand(ID_WINDOW_NEW);
    QList<QMdiSubWindow*> windows = frame_->findChild<QMdiArea*>()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0]->windowTitle(), "Kresograf1:1");
    EXPECT_EQ(windows[1]->windowTitle(), "Kresograf1:2");
    EXPECT_EQ(frame_->windowTitle(), "Kresograf dla QB730 - Kresograf1:2");
    // Modified without a marker in the captions.
    EXPECT_TRUE(frame_->isWindowModified());
    EXPECT_TRUE(windows[0]->isWindowModified());
    document->Doc->Modified = false;
    frame_->UpdateCommandStates();
    EXPECT_FALSE(frame_->isWindowModified());
    // The second window starts one step down and right of the first, wholly visible.
    const QRect area = frame_->findChild<QMdiArea*>()->viewport()->rect();
    EXPECT_EQ(windows[0]->pos(), QPoint(0, 0));
    EXPECT_GT(windows[1]->x(), 0);
    EXPECT_EQ(windows[1]->x(), windows[1]->y());
    EXPECT_TRUE(area.contains(windows[1]->geometry())) << windows[1]->geometry().x();
    // Cascaded, every window stays large enough to read a plot in.
    frame_->RunCommand(ID_WINDOW_CASCADE);
    for (QMdiSubWindow* window : windows) {
        EXPECT_GT(window->height(), area.height() / 2);
        EXPECT_GT(window->width(), area.width() / 2);
    }
    windows[1]->showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(frame_->windowTitle(), "Kresograf dla QB730 - [Kresograf1:2]");

    // The save-changes question of the real prompts carries the framework's title.
    QString promptTitle;
    QTimer::singleShot(0, [&promptTitle] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            promptTitle = box->windowTitle();
            box->reject();
        }
    });
    DialogPrompts real;
    real.AskSaveChanges(frame_.get(), "Kresograf1");
    EXPECT_EQ(promptTitle, "Kresograf");
}

TEST_F(GuiTest, DroppedDocumentsOpenAndTheWindowComesBackWhereItWas) {
    GuiDocument* saved = frame_->NewDocument();
    const QString path = TempPath("dropped.KGD");
    prompts_.SaveNames = {path};
    ASSERT_TRUE(frame_->Files().SaveDocumentAs(*saved));
    auto drop = [this](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = frame_->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame_.get(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted()) {
            QApplication::sendEvent(frame_.get(), &dropped);
        }
        return enter.isAccepted();
    };
    const QUrl notes = QUrl::fromLocalFile(TempPath("notes.txt"));
    frame_->MdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    ASSERT_TRUE(frame_->Documents().empty());
    EXPECT_FALSE(drop({notes}));
    ASSERT_TRUE(drop({notes, QUrl::fromLocalFile(path)}));
    ASSERT_EQ(frame_->Documents().size(), 1u);
    EXPECT_EQ(frame_->ActiveDocument()->Title, "dropped.KGD");

    frame_->setGeometry(40, 50, 700, 500);
    frame_->close();
    frame_.reset();
    CMainFrame again(*settings_, std::make_unique<SimulatedCard>(clock_), clock_);
    again.SetPrompts(&prompts_);
    again.RestoreWindowState();
    EXPECT_EQ(again.geometry().size(), QSize(700, 500));
}

TEST_F(GuiTest, RecentFileListKeepsTheLastFourNewestFirst) {
    QStringList saved;
    for (int i = 1; i <= 5; ++i) {
        GuiDocument* document = frame_->NewDocument();
        const QString path = TempPath(QStringLiteral("doc%1.kgd").arg(i));
        // The extension is added when the user leaves it out.
        prompts_.SaveNames = {path.chopped(4)};
        ASSERT_TRUE(frame_->Files().SaveDocumentAs(*document));
        saved.prepend(QFileInfo(path).canonicalFilePath());
    }
    EXPECT_EQ(frame_->Files().Recent().Files(), saved.mid(0, 4));
    QStringList menu;
    for (QAction* action : frame_->Menu("MenuRecentFiles")->actions()) {
        menu << action->text();
    }
    EXPECT_EQ(menu, (QStringList{"&1 doc5.kgd", "&2 doc4.kgd", "&3 doc3.kgd", "&4 doc2.kgd"}));

    // Opening one that is listed moves it to the top; the list survives in the settings.
    frame_->RunCommand(ID_FILE_NEW);
    prompts_.OpenName = TempPath("doc3.kgd");
    frame_->RunCommand(ID_FILE_OPEN);
    EXPECT_EQ(frame_->Files().Recent().Files().value(0),
              QFileInfo(TempPath("doc3.kgd")).canonicalFilePath());
    settings_->sync();
    QSettings reread(TempPath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(RecentFileList(reread).Files(), frame_->Files().Recent().Files());

    // A listed file that has gone away is reported and dropped from the list.
    frame_->MdiArea()->closeAllSubWindows();
    ASSERT_TRUE(WaitFor([&] { return frame_->Documents().empty(); }));
    QFile::remove(TempPath("doc4.kgd"));
    frame_->Menu("MenuRecentFiles")->actions().at(2)->trigger();
    ASSERT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_EQ(frame_->Files().Recent().Files().size(), 3);
    EXPECT_FALSE(frame_->Files().Recent().Files().join(' ').contains("doc4.kgd"));
}

TEST_F(GuiTest, HelpOpensTheFirstPageOrSaysItCannot) {
    const QString installed = TempPath("installed/index.html");
    const QString besideProgram = TempPath("program/help/index.html");
    QStringList opened;
    bool viewerAnswers = true;
    frame_->Application().SetProgramPath(TempPath("program/kresograf"));
    frame_->Application().SetHelp(TempPath("installed"),
                                  [&](const QUrl& page, const HelpLoader::Done& done) {
                                      opened << page.toLocalFile();
                                      done(viewerAnswers);
                                  });
    const UserMessage cannot{Tr(texts::HelpErrorTitle), Tr(texts::HelpErrorText),
                             MessageIcon::Exclamation};

    // No pages anywhere: the message, and no viewer is asked.
    QTest::keyClick(frame_.get(), Qt::Key_F1);
    EXPECT_TRUE(opened.isEmpty());
    // The installed pages, then the ones beside the program, which win.
    ASSERT_TRUE(WriteBytes(installed, {}));
    frame_->RunCommand(ID_HELP_FINDER);
    ASSERT_TRUE(WriteBytes(besideProgram, {}));
    frame_->RunCommand(ID_HELP_FINDER);
    EXPECT_EQ(opened, (QStringList{installed, besideProgram}));
    // A page no viewer can show is told like a missing one.
    viewerAnswers = false;
    frame_->RunCommand(ID_HELP_FINDER);
    EXPECT_EQ(prompts_.Messages, (std::vector<UserMessage>{cannot, cannot}));

    // The desktop's opener is judged by its exit status, not by having started.
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    for (int status : {0, 3}) {
        const QString script = bin.filePath("xdg-open");
        ASSERT_TRUE(
            WriteBytes(script, "#!/bin/sh\nprintf %s \"${LANGUAGE-unset}\" >\"$0.lang\"\nexit " +
                                   QByteArray::number(status) + "\n"));
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", bin.path().toUtf8());
        std::optional<bool> answer;
        HelpLoader::DesktopOpener()(QUrl::fromLocalFile(installed),
                                    [&](bool opened) { answer = opened; });
        qputenv("PATH", path);
        QTRY_VERIFY(answer.has_value());
        EXPECT_EQ(*answer, status == 0);
    }
    // The browser gets the user's language list back, not the one the program chose ("pl").
    EXPECT_EQ(ReadBytes(bin.filePath("xdg-open.lang")).toStdString(),
              UserLanguageList().value_or("unset"));
    EXPECT_EQ(qgetenv("LANGUAGE"), "pl");
}

// (Switched off, it never shows: every other test runs so and types into the main window.)
TEST_F(GuiTest, SplashShowsOnceAndSwallowsTheKeyThatEndsIt) {
    SplashWindow::EnableSplash(true);
    SplashWindow::ShowSplash(frame_.get());
    SplashWindow* splash = SplashWindow::CurrentSplash();
    ASSERT_NE(splash, nullptr);
    SplashWindow::ShowSplash(frame_.get());
    EXPECT_EQ(frame_->findChildren<SplashWindow*>(), QList<SplashWindow*>{splash});

    // While the splash is up a key press only ends the splash and goes no further.
    struct KeyCounter : QObject {
        int Presses = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            Presses += event->type() == QEvent::KeyPress ? 1 : 0;
            return false;
        }
    } counter;
    frame_->installEventFilter(&counter);
    QTest::keyClick(frame_.get(), Qt::Key_A);
    EXPECT_EQ(SplashWindow::CurrentSplash(), nullptr);
    EXPECT_EQ(counter.Presses, 0);
    QTest::keyClick(frame_.get(), Qt::Key_A);
    EXPECT_EQ(counter.Presses, 1);
    frame_->removeEventFilter(&counter);
}

TEST(GuiSettings, StoreKeepsSectionsAsGroupsAndReadsBitPatterns) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("s.ini"), QSettings::IniFormat);
    QtSettingsStore store(settings);
    settings.setValue("App/Color2", "abc");
    EXPECT_EQ(store.ReadInt("App", "Color2", 7), 7u);
    // A hand-edited negative value reads as its bit pattern.
    settings.setValue("Device/CH3", -1);
    EXPECT_EQ(store.ReadInt("Device", "CH3", 0), 0xFFFFFFFFu);
    store.WriteInt("App", "ColorN", 0xFFFFFFFF);
    settings.sync();
    QSettings again(dir.filePath("s.ini"), QSettings::IniFormat);
    EXPECT_EQ(again.value("App/ColorN").toULongLong(), 0xFFFFFFFFull);
}

}  // namespace
}  // namespace kresograf
