#pragma once

#include <memory>

class QMdiSubWindow;
class QObject;

namespace kresograf {

class AppFrame;
class CSpectrumWindow;
class CZefraKrgView;
class CZnacznikiDlg;
class PlotPrinting;

// The plot windows' own commands: scales and grid, channel choice, markers and their window, the
// spectrum window, copy and printing. Registers each with the main frame together with its
// enabled and checked rule, and owns what the commands share across windows: the markers window,
// the "Widmo" window and the printer.
class ViewCommands {
  public:
    explicit ViewCommands(AppFrame& frame);
    ~ViewCommands();

    CZnacznikiDlg* MarkersWindow() const { return markersWindow_; }
    CSpectrumWindow* SpectrumWindow() const { return spectrumWindow_; }
    PlotPrinting& Printing() { return *printing_; }
    // Printing and copying act on "Widmo" rather than on the active plot window: it is shown and
    // it is the window the user last worked in.
    bool SpectrumIsCurrent() const;

    // A new plot window: its view reports its markers, its frame gets a branch in the window.
    void AttachView(CZefraKrgView* view, QMdiSubWindow* frame);

  private:
    void Register();
    void RegisterPrintAndCopy();

    AppFrame& frame_;
    CZnacznikiDlg* markersWindow_ = nullptr;
    CSpectrumWindow* spectrumWindow_ = nullptr;
    bool spectrumWorkedIn_ = false;
    // Sets spectrumWorkedIn_ from the program's clicks and keys.
    std::unique_ptr<QObject> workTracker_;
    std::unique_ptr<PlotPrinting> printing_;
};

}  // namespace kresograf
