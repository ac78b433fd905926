#pragma once

#include <QApplication>
#include <QSettings>
#include <QTranslator>
#include <memory>

#include "card/clock.h"
#include "shell/start_options.h"

namespace kresograf {

class CMainFrame;

// The program: its settings under "ZEFRA"/"Kresograf", the card it talks to, the main window
// and the command line carried out.
class CZefraKrgApp : public QApplication {
    Q_OBJECT

  public:
    CZefraKrgApp(int& argc, char** argv);
    ~CZefraKrgApp() override;

    // Builds the main window and carries out the command line; false ends the program.
    bool InitInstance(const StartOptions& options);
    CMainFrame* MainFrame() const { return mainFrame_.get(); }

  private:
    QTranslator qtTexts_;
    SteadyClock clock_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

// Sets the names QSettings files the settings under.
void SetApplicationIdentity();

}  // namespace kresograf
