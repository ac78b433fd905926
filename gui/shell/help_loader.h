#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace kresograf {

// Finds the help's first page (beside the program in a build, else in the installed
// documentation) and hands it to the desktop's browser.
class HelpLoader {
  public:
    // Called once with true when a viewer showed the page, false when none could.
    using Done = std::function<void(bool opened)>;
    // Shows a page and reports the outcome, possibly later (a viewer is a separate process).
    using Opener = std::function<void(const QUrl& page, Done done)>;

    // programPath: the executable; installedFolder: the installed help folder.
    HelpLoader(QString programPath, QString installedFolder, Opener opener);

    // The candidate first pages in the order they are tried.
    QStringList Candidates() const;
    // Opens the first existing candidate; done(false) at once when there is none.
    void ShowHelp(const Done& done) const;

    // The installed help folder of this build.
    static QString InstalledFolder();
    // Runs xdg-open and reports its exit status: it fails when no application can show the
    // page. (QDesktopServices reports success as soon as the opener starts.)
    static Opener DesktopOpener();

  private:
    QString programPath_;
    QString installedFolder_;
    Opener opener_;
};

}  // namespace kresograf
