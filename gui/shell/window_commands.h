#pragma once

#include <QList>
#include <QObject>

class QAction;
class QStatusBar;
class QToolBar;

namespace kresograf {

class AppFrame;
class DocumentCommands;

// The window commands: another window of the active document, cascading, tiling and arranging
// the plot windows, moving between them, the toolbar and the status bar, and the list of windows
// at the end of the "O&kno" menu.
class WindowCommands : public QObject {
    Q_OBJECT

  public:
    WindowCommands(AppFrame& frame, DocumentCommands& documents, QToolBar& toolBar,
                   QStatusBar& statusBar);

  private:
    void ListWindows();

    AppFrame& frame_;
    QList<QAction*> listed_;
};

}  // namespace kresograf
