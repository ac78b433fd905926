#pragma once

#include <QString>

#include "gui/shell/help_loader.h"

class QSettings;

namespace kresograf {

class AcquisitionCommands;
class AcquisitionRunner;
class AppFrame;
class SettingsStore;
struct PropertiesValues;

// The program's own commands: the help topics, the about box, the properties sheet
// "Właściw&ości ..." and "&Koniec".
class ApplicationCommands {
  public:
    // store: where accepted properties are kept; acquisition: takes the inputs' gains over;
    // settings: where the recordings folder is kept; runner: records into it.
    ApplicationCommands(AppFrame& frame, SettingsStore& store, AcquisitionCommands& acquisition,
                        QSettings& settings, AcquisitionRunner& runner);

    // The executable whose folder holds the help.
    void SetProgramPath(const QString& path) { programPath_ = path; }
    // Where the installed help lives and how a page is shown; tests replace both.
    void SetHelp(QString installedFolder, HelpLoader::Opener opener) {
        helpFolder_ = std::move(installedFolder);
        helpOpener_ = std::move(opener);
    }

    // Opens the help's first page in the desktop's browser, or says it cannot.
    void ShowHelp();
    // Runs the properties sheet; on OK takes its values over.
    void ShowProperties();
    // Takes accepted properties over: stored, told to the card, every view redrawn, the next
    // recording in the chosen folder.
    void ApplyProperties(const PropertiesValues& values);
    // Where unsaved recordings are kept: the user's choice, else the default folder.
    QString RecordingsFolder() const;

  private:
    AppFrame& frame_;
    SettingsStore& store_;
    AcquisitionCommands& acquisition_;
    QSettings& settings_;
    AcquisitionRunner& runner_;
    QString programPath_;
    QString helpFolder_ = HelpLoader::InstalledFolder();
    HelpLoader::Opener helpOpener_ = HelpLoader::DesktopOpener();
};

}  // namespace kresograf
