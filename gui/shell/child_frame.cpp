#include "gui/shell/child_frame.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QStyle>

#include "gui/shell/document_commands.h"
#include "gui/view/zefra_krg_view.h"

namespace kresograf {

CChildFrame::CChildFrame(DocumentCommands& documents, CZefraKrgView* view, const QIcon& icon)
    : documents_(documents), view_(view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(icon);
}

QSize CChildFrame::sizeHint() const {
    const QSize area = mdiArea() != nullptr ? mdiArea()->viewport()->size() : QSize();
    return {std::max(area.width() * 3 / 4, 400), std::max(area.height() * 3 / 4, 300)};
}

int CChildFrame::CascadeStep(const QMdiSubWindow& frame) {
    return std::max(frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &frame), 8);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!documents_.CanCloseFrame(this)) {
        event->ignore();
        return;
    }
    documents_.FrameClosing(this);
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    // Maximising or restoring rewrites the main window's caption; it follows the program's rules.
    if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::WindowTitleChange) {
        documents_.UpdateMainTitle();
    }
}

}  // namespace kresograf
