#include "gui/shell/application_commands.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>

#include "base/frame_link.h"
#include "base/settings_record.h"
#include "gui/acquisition/acquisition_commands.h"
#include "gui/shell/about_dlg.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/gui_document.h"
#include "gui/shell/properties_sheet.h"
#include "gui/view/zefra_krg_view.h"
#include "shell/shell_texts.h"

namespace kresograf {

ApplicationCommands::ApplicationCommands(AppFrame& frame, SettingsStore& store,
                                         AcquisitionCommands& acquisition)
    : frame_(frame), store_(store), acquisition_(acquisition) {
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

void ApplicationCommands::ShowProperties() {
    CMyPropertySheet sheet(PropertiesValues::From(frame_.Settings()), &frame_.Window());
    if (sheet.exec() == QDialog::Accepted) {
        ApplyProperties(sheet.Values());
    }
}

void ApplicationCommands::ApplyProperties(const PropertiesValues& values) {
    SettingsRecord stored;
    values.ApplyTo(stored);
    stored.Save(store_);
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
