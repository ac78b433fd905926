#pragma once

#include <QMdiSubWindow>

namespace kresograf {

class CZefraKrgView;
class DocumentCommands;

// The frame of one plot window. It asks its document before it closes, because the document may
// refuse (acquisition running) or have unsaved changes.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

  public:
    CChildFrame(DocumentCommands& documents, CZefraKrgView* view, const QIcon& icon);
    CZefraKrgView* View() const { return view_; }

    // Three quarters of the MDI area, never less than a plot can be read in: a new window gets
    // it, and so does each cascaded one (cascading sizes windows by their hint).
    QSize sizeHint() const override;
    // How far each new window starts down and right of the one before: one title bar.
    static int CascadeStep(const QMdiSubWindow& frame);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    DocumentCommands& documents_;
    CZefraKrgView* view_;
};

}  // namespace kresograf
