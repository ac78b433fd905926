#pragma once

#include <QString>
#include <functional>

namespace kresograf {

// Finds the help file beside the program and hands it to the desktop's viewer.
class HelpLoader {
  public:
    // Opens a local file with the desktop's viewer; true when a viewer took it.
    using Opener = std::function<bool(const QString& path)>;

    // programPath: the executable; the help file is the program's name with "chm" as its
    // extension, or "Kresograf dla QB730.chm", in the program's folder.
    explicit HelpLoader(QString programPath, Opener opener = {});

    // The candidates in the order they are tried.
    QStringList Candidates() const;
    // False when no help file exists or no viewer would open it.
    bool ShowHelp();

  private:
    QString programPath_;
    Opener opener_;
};

}  // namespace kresograf
