#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "generation/generation_texts.h"
#include "generation/sample_file.h"
#include "generation/waveform_generator.h"
#include "gui/generation/file_output_dlg.h"
#include "gui/generation/formula_output_dlg.h"
#include "gui/generation/generation_commands.h"
#include "gui/generation/generator_dlg.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/widgets/channel_grid.h"
#include "gui/widgets/file_dialog.h"
#include "gui_fixture.h"

namespace kresograf {
namespace {

// A control of the dialog; a missing one ends this test as failed (GoogleTest reports the
// exception), never the whole run through a null pointer.
template <typename T>
T* Control(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(name);
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return widget;
}

QString LabelText(QWidget& dialog, const char* name) {
    return Control<QLabel>(dialog, name)->text();
}

void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Control<QAbstractButton>(dialog, name), Qt::LeftButton);
}

bool Generating(QWidget& dialog) {
    const bool start = Control<QPushButton>(dialog, "IDC_1037")->isEnabled();
    const bool stop = Control<QPushButton>(dialog, "IDC_1038")->isEnabled();
    EXPECT_NE(start, stop);
    return stop;
}

class GenerationTest : public GuiTest {
  protected:
    CardOutputs& Outputs() { return frame_->Generation().Outputs(); }
    PlayingOutputs& Playing() { return frame_->Generation().Playing(); }
};

TEST_F(GenerationTest, GeneratorLabelsButtonsAndMessages) {
    CGeneratorDlg dialog(Outputs(), Playing(), 0x100, prompts_);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(LabelText(dialog, "IDC_1057").toStdString(), OffsetLabel(0, true));
    EXPECT_FALSE(Control<QSlider>(dialog, "IDC_1055")->isEnabled());
    EXPECT_FALSE(Generating(dialog));

    Control<QSlider>(dialog, "IDC_1051")->setValue(250);
    EXPECT_EQ(LabelText(dialog, "IDC_1052").toStdString(), AmplitudeLabel(250));
    Click(dialog, "IDC_1049");
    EXPECT_TRUE(Control<QSlider>(dialog, "IDC_1055")->isEnabled());
    Control<QSlider>(dialog, "IDC_1055")->setValue(30);
    Click(dialog, "IDC_1050");
    // Back to the sine: the slider goes off, the label keeps its text.
    Click(dialog, "IDC_1048");
    EXPECT_FALSE(Control<QSlider>(dialog, "IDC_1055")->isEnabled());
    EXPECT_EQ(LabelText(dialog, "IDC_1056").toStdString(), ParamLabel(WaveTriangle, 30));

    // A refused frequency starts nothing, and Koniec keeps the dialog open.
    auto* frequency = Control<QLineEdit>(dialog, "IDC_1053");
    frequency->setText("10001");
    Click(dialog, "IDC_1037");
    EXPECT_EQ(prompts_.Messages.size(), 1u);
    EXPECT_FALSE(Generating(dialog));
    frequency->setText("");
    Click(dialog, "IDOK");
    EXPECT_TRUE(dialog.isVisible());

    frequency->setText("50");
    Click(dialog, "IDC_1037");
    EXPECT_TRUE(Generating(dialog));
    // Enter does nothing while generating, wherever the focus is: Start, the default, is off.
    for (const char* focus : {"IDOK", "IDC_1038"}) {
        Control<QWidget>(dialog, focus)->setFocus();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(Generating(dialog)) << focus;
    }
    EXPECT_EQ(Outputs().Analog(), AnalogOutput::Generator);
    Click(dialog, "IDOK");
    EXPECT_FALSE(dialog.isVisible());
    // Opened again while its output plays: the generating state and what plays.
    CGeneratorDlg again(Outputs(), Playing(), 0x100, prompts_);
    EXPECT_TRUE(Generating(again));
    EXPECT_EQ(Control<QSlider>(again, "IDC_1051")->value(), 250);
    EXPECT_EQ(Control<QLineEdit>(again, "IDC_1053")->text(), "50");
    again.show();
    Click(again, "IDC_1038");
    EXPECT_FALSE(Generating(again));
    EXPECT_EQ(Outputs().Analog(), AnalogOutput::None);
}

TEST_F(GenerationTest, FormulaTableChecksAndStart) {
    std::array<float, 8> scale;
    scale.fill(1.0f / 4096.0f);
    const std::array<uint8_t, 8> gain = {0, 0, 0, 0, 0, 0, 0x80, 0};
    CFormulaOutputDlg dialog(Outputs(), Playing(), 0x100, prompts_, scale, gain);
    dialog.show();
    CChannelGrid* grid = dialog.Grid();
    ASSERT_EQ(grid->RowCount(), 8);

    Click(dialog, "IDC_1037");
    EXPECT_EQ(prompts_.Messages.size(), 1u);
    // Pair 4 mixes the gains of inputs 7 and 8.
    Click(dialog, "IDC_1034");
    EXPECT_EQ(grid->RowCount(), 4);
    Click(dialog, "IDC_1037");
    ASSERT_EQ(prompts_.Messages.size(), 2u);
    EXPECT_EQ(prompts_.Messages[1].Text, Tr(texts::PairGainText));
    EXPECT_FALSE(Generating(dialog));
    Click(dialog, "IDC_1034");
    ASSERT_EQ(grid->RowCount(), 8);

    grid->SetValue(6, 1, 1);
    Control<QLineEdit>(dialog, "IDC_1036")->setText("x");
    Click(dialog, "IDC_1037");
    EXPECT_FALSE(Generating(dialog));
    Control<QLineEdit>(dialog, "IDC_1036")->setText(" 0.5");
    Click(dialog, "IDC_1037");
    EXPECT_TRUE(Generating(dialog));
    EXPECT_EQ(Outputs().Analog(), AnalogOutput::Formula);
    CFormulaOutputDlg again(Outputs(), Playing(), 0x100, prompts_, scale, gain);
    EXPECT_EQ(again.Grid()->Value(6, 1), 1);
    EXPECT_EQ(Control<QLineEdit>(again, "IDC_1036")->text(), "0.500");
}

TEST_F(GenerationTest, FileCommandsAndTheirDialog) {
    frame_->NewDocument();
    const QString path = TempPath("samples.dat");
    std::ofstream(path.toStdString()) << "1.5 -2\n3e-1\n";
    GenerationCommands& commands = frame_->Generation();
    commands.AskSampleFile = [&](QWidget*) { return path; };
    QStringList seen;
    std::vector<int> ratesShown;
    commands.RunDialog = [&](QDialog& dialog) {
        dialog.show();
        seen << dialog.windowTitle() << LabelText(dialog, "IDC_1040")
             << LabelText(dialog, "IDC_1041");
        auto* rates = Control<QComboBox>(dialog, "IDC_1021");
        ratesShown.push_back(rates->currentIndex());
        rates->setCurrentIndex(3);  // 80 000 Hz
        Click(dialog, "IDC_1037");
        EXPECT_TRUE(Generating(dialog));
        Click(dialog, "IDOK");
    };
    frame_->RunCommand(ID_DIGITAL_FILE_OUTPUT);
    EXPECT_EQ(seen, (QStringList{Tr(texts::FileOutputTitle), Tr(texts::DigitalKind),
                                 QString::fromStdString(ReadCountLabel(1))}));
    EXPECT_TRUE(Outputs().DigitalPlaying());
    frame_->RunCommand(ID_ANALOG_FILE_OUTPUT);
    EXPECT_EQ(Outputs().Analog(), AnalogOutput::File);
    // Opened while the digital output plays, the dialog shows the rate it plays at.
    frame_->RunCommand(ID_DIGITAL_FILE_OUTPUT);
    EXPECT_EQ(ratesShown, (std::vector<int>{26, 26, 3}));
}

TEST(FileDialogs, AllFilesListsEveryNameAndTypedNamesOpenAsTheyExist) {
    QTemporaryDir dir;
    for (const char* name : {"nodot", "samples", "data.dat"}) {
        ASSERT_TRUE(WriteBytes(dir.filePath(name), {}));
    }
    // The export's all-files filter keeps the proposed name and lists a file without a dot.
    std::unique_ptr<FileDialog> save = ExportFileDialog(nullptr, dir.filePath("Kresograf1.dat"));
    save->show();
    auto* types = Control<QComboBox>(*save, "fileTypeCombo");
    types->setCurrentIndex(3);
    Q_EMIT types->activated(3);
    EXPECT_EQ(types->currentText(), Tr(texts::AllFilesFilter));
    EXPECT_EQ(Control<QLineEdit>(*save, "fileNameEdit")->text(), "Kresograf1.dat");
    auto* list = Control<QListView>(*save, "listView");
    EXPECT_TRUE(QTest::qWaitFor([list] {
        return list->model()
                   ->match(list->rootIndex().model()->index(0, 0, list->rootIndex()),
                           Qt::DisplayRole, "nodot")
                   .size() == 1;
    }));
    // A sample file typed without an extension opens as typed, or with ".dat" when only that is.
    for (auto [typed, opened] : {std::pair{"samples", "samples"}, std::pair{"data", "data.dat"}}) {
        std::unique_ptr<FileDialog> open = SampleFileDialog(nullptr);
        open->setDirectory(dir.path());
        open->selectFile(typed);
        static_cast<QDialog&>(*open).accept();
        EXPECT_EQ(open->Chosen(), dir.filePath(opened));
    }
}

TEST_F(GenerationTest, GeneratorOutputOnInputEightAndNoCommandsWhileAcquiring) {
    GuiDocument* document = frame_->NewDocument();
    frame_->Generation().RunDialog = [](QDialog& dialog) {
        dialog.show();
        Control<QSlider>(dialog, "IDC_1051")->setValue(200);
        Control<QLineEdit>(dialog, "IDC_1053")->setText("50");
        Click(dialog, "IDC_1037");
        Click(dialog, "IDOK");
    };
    frame_->RunCommand(ID_GENERATOR);
    ASSERT_EQ(Outputs().Analog(), AnalogOutput::Generator);
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    ASSERT_EQ(frame_->ActiveDocument(), document);

    // 2 000 scans at 95 000 Hz: a whole period of the 50 Hz sine.
    CZefraKrgDoc& doc = *document->Doc;
    SetFastParams(doc, {7}, 2000);
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitFor([&] { return doc.SampleCount[doc.CurrentSet.load()] > 0; }));
    EXPECT_FALSE(frame_->Action(ID_GENERATOR)->isEnabled());
    EXPECT_FALSE(frame_->Action(ID_ANALOG_FILE_OUTPUT)->isEnabled());
    frame_->RunCommand(ID_OSC_START);
    ASSERT_TRUE(WaitIdle());
    frame_->UpdateCommandStates();
    EXPECT_TRUE(frame_->Action(ID_DIGITAL_FILE_OUTPUT)->isEnabled());

    EXPECT_EQ(Outputs().Analog(), AnalogOutput::Generator);  // the acquisition left it playing
    // Input 8 read the sine of 2 V back: it swings over nearly 4 V.
    const uint32_t set = doc.CurrentSet.load();
    const int32_t* samples = doc.Samples[set][7].Data();
    const auto [low, high] = std::minmax_element(samples, samples + doc.SampleCount[set]);
    EXPECT_GT(*high - *low, 3.5 * 4096);
}

}  // namespace
}  // namespace kresograf
