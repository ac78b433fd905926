#include "gui/shell/child_frame.h"

#include <QCloseEvent>
#include <QEvent>

#include "gui/shell/main_frame.h"
#include "gui/view/zefra_krg_view.h"

namespace kresograf {

CChildFrame::CChildFrame(CMainFrame& mainFrame, CZefraKrgView* view)
    : mainFrame_(mainFrame), view_(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(mainFrame.windowIcon());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!mainFrame_.CanCloseFrame(this)) {
        event->ignore();
        return;
    }
    mainFrame_.FrameClosing(this);
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    // Maximising or restoring rewrites the main window's caption; it follows the program's rules.
    if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::WindowTitleChange) {
        mainFrame_.UpdateMainTitle();
    }
}

}  // namespace kresograf
