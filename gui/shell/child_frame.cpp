#include "shell/child_frame.h"

#include <QCloseEvent>

#include "shell/main_frame.h"
#include "view/zefra_krg_view.h"

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

}  // namespace kresograf
