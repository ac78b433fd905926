// The program in the user's language: run by CTest under an English locale (and under a locale
// with no catalogue), it opens every window and dialog and reads every text they show.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>

#include "base/translation.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/view/spectrum_window.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

void Add(QStringList& texts, const QString& text) {
    if (!text.trimmed().isEmpty()) {
        texts << text;
    }
}

void AddModel(QStringList& texts, const QAbstractItemModel* model) {
    if (model == nullptr) {
        return;
    }
    for (int c = 0; c < model->columnCount(); ++c) {
        Add(texts, model->headerData(c, Qt::Horizontal).toString());
    }
    for (int r = 0; r < std::min(model->rowCount(), 50); ++r) {
        Add(texts, model->headerData(r, Qt::Vertical).toString());
        for (int c = 0; c < model->columnCount(); ++c) {
            Add(texts, model->index(r, c).data().toString());
            Add(texts, model->index(r, c).data(Qt::ToolTipRole).toString());
        }
    }
}

// Every text a window shows or keeps ready: captions, labels, buttons, items, headers, cells,
// tooltips, menus and their prompts, also on hidden pages.
void Harvest(QWidget* root, QStringList& texts) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets << root;
    for (QWidget* w : widgets) {
        Add(texts, w->windowTitle());
        Add(texts, w->toolTip());
        Add(texts, w->statusTip());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            Add(texts, label->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            Add(texts, button->text());
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            Add(texts, box->title());
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                Add(texts, combo->itemText(i));
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            Add(texts, edit->placeholderText());
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                Add(texts, tabs->tabText(i));
            }
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
            AddModel(texts, view->model());
        } else if (auto* menu = qobject_cast<QMenu*>(w)) {
            Add(texts, menu->title());
        }
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        Add(texts, action->text());
        Add(texts, action->statusTip());
        Add(texts, action->toolTip());
        if (action->menu() != nullptr) {
            Add(texts, action->menu()->title());
        }
    }
}

// The words of the Polish texts that no English text uses: "Plik", "Kanał", "wejście"…
QSet<QString> PolishOnlyWords() {
    const QString catalogue = QString::fromUtf8(ReadBytes(KRESOGRAF_SOURCE_DIR "/po/en.po"));
    EXPECT_FALSE(catalogue.isEmpty());
    const QRegularExpression entry(QStringLiteral(
        R"re(msgid ((?:"(?:[^"\\]|\\.)*"\s*)+)msgstr ((?:"(?:[^"\\]|\\.)*"\s*)+))re"));
    const QRegularExpression word(QStringLiteral(R"(\p{L}{3,})"));
    QSet<QString> polish;
    QSet<QString> english;
    for (auto match = entry.globalMatch(catalogue); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        for (auto [part, into] : {std::pair{1, &polish}, std::pair{2, &english}}) {
            QString text = m.captured(part);
            text.remove(QLatin1Char('&'));
            text.replace(QStringLiteral("\\n"), QStringLiteral(" "));
            for (auto w = word.globalMatch(text); w.hasNext();) {
                into->insert(w.next().captured().toLower());
            }
        }
    }
    return polish - english;
}

// Runs a command and, while it runs, reads every window on the screen and closes each modal one:
// a file dialog is answered with `answer` (nothing when empty) so the dialog after it shows too.
void RunAndHarvest(CMainFrame& frame, uint32_t id, QStringList& texts, const QString& answer) {
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&texts, &answer] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible()) {
                Harvest(top, texts);
            }
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* files = qobject_cast<QFileDialog*>(modal);
            files != nullptr && !answer.isEmpty()) {
            files->selectFile(answer);
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else if (modal != nullptr) {
            modal->close();
        }
    });
    timer.start();
    frame.RunCommand(id);
    QApplication::processEvents();
    timer.stop();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible()) {
            Harvest(top, texts);
        }
        if (top != &frame && top->isVisible() && top->isWindow() &&
            qobject_cast<QDialog*>(top) == nullptr) {
            top->hide();
        }
    }
}

TEST_F(GuiTest, EveryTextShownIsInTheUsersLanguage) {
    const char* expected = std::getenv("KRESOGRAF_EXPECT_LANGUAGE");
    if (expected == nullptr) {
        GTEST_SKIP() << "run by CTest under a chosen locale";
    }
    ASSERT_EQ(CurrentLanguage(), expected);
    const bool english = std::string(expected) == "en";

    DialogPrompts dialogs;
    frame_->SetPrompts(&dialogs);
    ASSERT_NE(TakeShot(), nullptr);
    QStringList texts;
    Harvest(frame_.get(), texts);
    // Files that exist but hold nothing usable, so each dialog ends in its message.
    const QString broken = TempPath(QStringLiteral("zly.kgd"));
    const QString samples = TempPath(QStringLiteral("zle.txt"));
    ASSERT_TRUE(WriteBytes(broken, "x\n") && WriteBytes(samples, "x\n"));
    for (uint32_t id : {ID_APP_ABOUT, ID_ACQ_PARAMS, ID_PROPERTIES, ID_REGISTERED_PARAMS,
                        ID_MARKERS_WINDOW, ID_SPECTRUM_WINDOW, ID_GENERATOR, ID_FORMULA_OUTPUT}) {
        RunAndHarvest(*frame_, id, texts, {});
    }
    // "Widmo" once its spectrum is worked out: the summary and the peaks table.
    auto* spectrum = frame_->findChild<CSpectrumWindow*>();
    ASSERT_TRUE(WaitFor([&] { return spectrum->ShownCount() > 0; }));
    Harvest(spectrum, texts);
    RunAndHarvest(*frame_, ID_ANALOG_FILE_OUTPUT, texts, samples);
    RunAndHarvest(*frame_, ID_DIGITAL_FILE_OUTPUT, texts, samples);
    RunAndHarvest(*frame_, ID_EXPORT_ASCII, texts, TempPath(QStringLiteral("eksport.dat")));
    RunAndHarvest(*frame_, ID_FILE_OPEN, texts, broken);
    frame_->SetPrompts(&prompts_);
    texts.removeDuplicates();
    ASSERT_GT(texts.size(), 150);

    const QSet<QString> polishWords = PolishOnlyWords();
    const QRegularExpression polishLetter(QStringLiteral("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]"));
    const QRegularExpression word(QStringLiteral(R"(\p{L}{3,})"));
    QStringList polish;
    QStringList translatable;
    for (const QString& text : texts) {
        QString plain = text;
        plain.remove(QLatin1Char('&'));
        bool isPolish = plain.contains(polishLetter);
        for (auto w = word.globalMatch(plain); !isPolish && w.hasNext();) {
            isPolish = polishWords.contains(w.next().captured().toLower());
        }
        if (isPolish) {
            polish << text;
        }
        const QByteArray bytes = text.toUtf8();
        if (Tr(bytes.constData()) != bytes) {
            translatable << text;
        }
    }
    if (english) {
        EXPECT_TRUE(polish.isEmpty()) << "Polish left:\n" << polish.join('\n').toStdString();
        EXPECT_TRUE(translatable.isEmpty()) << "shown untranslated:\n"
                                            << translatable.join('\n').toStdString();
    } else {
        // Without a catalogue every text stays the program's own, Polish ones among them.
        EXPECT_TRUE(translatable.isEmpty());
        EXPECT_TRUE(texts.contains(QStringLiteral("Parametry akwizycji")));
    }
}

}  // namespace
}  // namespace kresograf
