#pragma once

#include <QFileDialog>
#include <QStringList>

namespace kresograf {

// The program's file dialog: Qt's own, so it looks and reads the same on every desktop. Its
// filters are texts such as "Pliki danych ASCII (*.dat)"; an all-files entry "(*.*)" lists every
// file, a name without a dot too, and choosing it never puts its pattern into the typed name.
// An open dialog takes a name typed without an extension as typed when that file exists, else
// with the default suffix.
class FileDialog : public QFileDialog {
    Q_OBJECT

  public:
    // proposed: the folder and name offered at first (a save dialog), or empty.
    FileDialog(QWidget* owner, const QString& title, const QStringList& filters, AcceptMode mode,
               const QString& defaultSuffix, const QString& proposed = {});

    // The file the user chose, after the dialog was accepted.
    QString Chosen() const;
    // Runs the dialog; the file chosen, or empty when the user cancelled.
    QString Run();

  private:
    QString suffix_;
};

}  // namespace kresograf
