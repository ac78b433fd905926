#include "gui/generation/generation_commands.h"

#include <QFile>
#include <QMainWindow>

#include "acquisition/acquisition_runner.h"
#include "base/settings_record.h"
#include "generation/generation_texts.h"
#include "generation/sample_file.h"
#include "gui/generation/file_output_dlg.h"
#include "gui/generation/formula_output_dlg.h"
#include "gui/generation/generator_dlg.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/widgets/file_dialog.h"
#include "shell/shell_texts.h"

namespace kresograf {

std::unique_ptr<FileDialog> SampleFileDialog(QWidget* owner) {
    return std::make_unique<FileDialog>(
        owner, CoreText(texts::OpenDialogTitle),
        QStringList{CoreText(texts::SampleFileFilter), CoreText(texts::AllFilesFilter)},
        QFileDialog::AcceptOpen, QString::fromUtf8(texts::SampleFileExtension));
}

GenerationCommands::GenerationCommands(AppFrame& frame, CardPort& card,
                                       const AcquisitionRunner& runner)
    : AskSampleFile([](QWidget* owner) { return SampleFileDialog(owner)->Run(); }),
      RunDialog([](QDialog& dialog) { dialog.exec(); }),
      frame_(frame),
      outputs_(card) {
    // The card link carries one exchange at a time: no output command while an acquisition runs.
    auto idle = [this, &runner] {
        const bool enabled = frame_.ActiveDocument() != nullptr &&
                             frame_.Settings().AcquiringDocId.load() == 0 && !runner.Busy();
        return CommandState{enabled, false};
    };
    frame_.RegisterCommand(
        ID_GENERATOR,
        [this] {
            CGeneratorDlg dialog(outputs_, playing_, frame_.Settings().PortAddress,
                                 frame_.Prompts(), &frame_.Window());
            RunDialog(dialog);
        },
        idle);
    frame_.RegisterCommand(
        ID_FORMULA_OUTPUT,
        [this] {
            const SettingsRecord& settings = frame_.Settings();
            CFormulaOutputDlg dialog(outputs_, playing_, settings.PortAddress, frame_.Prompts(),
                                     settings.ChannelScale, settings.ChannelGain, &frame_.Window());
            RunDialog(dialog);
        },
        idle);
    frame_.RegisterCommand(
        ID_ANALOG_FILE_OUTPUT, [this] { RunFileOutput(false); }, idle);
    frame_.RegisterCommand(
        ID_DIGITAL_FILE_OUTPUT, [this] { RunFileOutput(true); }, idle);
}

void GenerationCommands::RunFileOutput(bool digital) {
    const QString path = AskSampleFile(&frame_.Window());
    if (path.isEmpty()) {
        return;
    }
    SampleFile samples;
    UserMessage message;
    if (!ReadSampleFile(QFile::encodeName(path).toStdString(), digital, samples, message)) {
        frame_.ShowMessage(message);
        return;
    }
    CFileOutputDlg dialog(outputs_, playing_, frame_.Settings().PortAddress, frame_.Prompts(),
                          std::move(samples), &frame_.Window());
    RunDialog(dialog);
}

}  // namespace kresograf
