#pragma once

#include <memory>

class QMdiSubWindow;

namespace kresograf {

class AppFrame;
class CZefraKrgView;
class CZnacznikiDlg;
class PlotPrinting;

// The plot windows' own commands: scales and grid, channel choice, markers and their window, copy
// and printing. Registers each with the main frame together with its enabled and checked rule,
// and owns what the commands share across windows: the markers window and the printer.
class ViewCommands {
  public:
    explicit ViewCommands(AppFrame& frame);
    ~ViewCommands();

    CZnacznikiDlg* MarkersWindow() const { return markersWindow_; }
    PlotPrinting& Printing() { return *printing_; }

    // A new plot window: its view reports its markers, its frame gets a branch in the window.
    void AttachView(CZefraKrgView* view, QMdiSubWindow* frame);

  private:
    void Register();

    AppFrame& frame_;
    CZnacznikiDlg* markersWindow_ = nullptr;
    std::unique_ptr<PlotPrinting> printing_;
};

}  // namespace kresograf
