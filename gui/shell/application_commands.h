#pragma once

#include <QString>

#include "gui/shell/help_loader.h"

namespace kresograf {

class AcquisitionCommands;
class AppFrame;
class SettingsStore;
struct PropertiesValues;

// The program's own commands: the help topics, the about box, the properties sheet
// "Właściw&ości ..." and "&Koniec".
class ApplicationCommands {
  public:
    // store: where accepted properties are kept; acquisition: takes the inputs' gains over.
    ApplicationCommands(AppFrame& frame, SettingsStore& store, AcquisitionCommands& acquisition);

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
    // Takes accepted properties over: stored, told to the card, every view redrawn.
    void ApplyProperties(const PropertiesValues& values);

  private:
    AppFrame& frame_;
    SettingsStore& store_;
    AcquisitionCommands& acquisition_;
    QString programPath_;
    QString helpFolder_ = HelpLoader::InstalledFolder();
    HelpLoader::Opener helpOpener_ = HelpLoader::DesktopOpener();
};

}  // namespace kresograf
