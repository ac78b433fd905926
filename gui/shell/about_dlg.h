#pragma once

#include <QDialog>

namespace kresograf {

// "O Aplikacji...": the program's name and version, what it is for, and an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kresograf
