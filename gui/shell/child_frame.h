#pragma once

#include <QMdiSubWindow>

namespace kresograf {

class CMainFrame;
class CZefraKrgView;

// The frame of one plot window. It asks the main frame before it closes, because the document
// may refuse (acquisition running) or have unsaved changes.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

  public:
    CChildFrame(CMainFrame& mainFrame, CZefraKrgView* view);
    CZefraKrgView* View() const { return view_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    CMainFrame& mainFrame_;
    CZefraKrgView* view_;
};

}  // namespace kresograf
