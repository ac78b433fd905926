#include "gui/shell/application_commands.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QSettings>

#include "acquisition/acquisition_runner.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "document/recordings_folder.h"
#include "gui/acquisition/acquisition_commands.h"
#include "gui/shell/about_dlg.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/gui_document.h"
#include "gui/shell/properties_sheet.h"
#include "gui/view/zefra_krg_view.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

const char* const RecordingsFolderKey = "Recordings/Folder";

}  // namespace

ApplicationCommands::ApplicationCommands(AppFrame& frame, SettingsStore& store,
                                         AcquisitionCommands& acquisition, QSettings& settings,
                                         AcquisitionRunner& runner)
    : frame_(frame),
      store_(store),
      acquisition_(acquisition),
      settings_(settings),
      runner_(runner) {
    runner_.SetRecordingPlace(RecordingPlace{{}, RecordingsFolder().toStdString(), {}, {}});
    const auto always = [] { return CommandState{true, false}; };
    frame.RegisterCommand(
        ID_APP_EXIT, [&frame] { frame.Window().close(); }, always);
    frame.RegisterCommand(
        ID_APP_ABOUT,
        [&frame] {
            CAboutDlg dialog(&frame.Window());
            dialog.exec();
        },
        always);
    frame.RegisterCommand(
        ID_HELP_FINDER, [this] { ShowHelp(); }, always);
    frame.RegisterCommand(
        ID_PROPERTIES, [this] { ShowProperties(); }, always);
}

void ApplicationCommands::ShowHelp() {
    const QString program =
        programPath_.isEmpty() ? QCoreApplication::applicationFilePath() : programPath_;
    // The viewer may answer after the window has gone.
    HelpLoader(program, helpFolder_, helpOpener_)
        .ShowHelp([window = QPointer(&frame_.Window()), &frame = frame_](bool opened) {
            if (!opened && window) {
                frame.ShowMessage(UserMessage{Tr(texts::HelpErrorTitle), Tr(texts::HelpErrorText),
                                              MessageIcon::Exclamation});
            }
        });
}

QString ApplicationCommands::RecordingsFolder() const {
    const QString chosen = settings_.value(RecordingsFolderKey).toString();
    return chosen.isEmpty() ? QString::fromStdString(DefaultRecordingsFolder()) : chosen;
}

void ApplicationCommands::ShowProperties() {
    PropertiesValues values = PropertiesValues::From(frame_.Settings());
    values.RecordingsFolder = RecordingsFolder().toStdString();
    CMyPropertySheet sheet(values, &frame_.Window());
    // A folder the user changed must hold a recording safely before it is taken.
    sheet.Check = [this](const PropertiesValues& chosen) {
        if (chosen.RecordingsFolder == RecordingsFolder().toStdString()) {
            return true;
        }
        if (auto refusal = PrepareRecordingsFolder(chosen.RecordingsFolder)) {
            frame_.ShowMessage(*refusal);
            return false;
        }
        return true;
    };
    if (sheet.exec() == QDialog::Accepted) {
        ApplyProperties(sheet.Values());
    }
}

void ApplicationCommands::ApplyProperties(const PropertiesValues& values) {
    SettingsRecord stored;
    values.ApplyTo(stored);
    stored.Save(store_);
    const QString folder = QString::fromStdString(values.RecordingsFolder);
    if (!folder.isEmpty() && folder != RecordingsFolder()) {
        // The default is kept as no choice, so it follows the user's data folder.
        if (folder == QString::fromStdString(DefaultRecordingsFolder())) {
            settings_.remove(RecordingsFolderKey);
        } else {
            settings_.setValue(RecordingsFolderKey, folder);
        }
        runner_.SetRecordingPlace(RecordingPlace{{}, values.RecordingsFolder, {}, {}});
    }
    // A running acquisition reads the gains before every shot; they reach the card once it has
    // ended. Everything else applies at once.
    PropertiesValues now = values;
    now.ChannelGain = acquisition_.TakeGains(values.ChannelGain);
    now.ApplyTo(frame_.Settings());
    for (const auto& document : frame_.Documents()) {
        for (CZefraKrgView* view : document->Views) {
            view->OnUpdate(HintColorsChanged);
        }
    }
}

}  // namespace kresograf
