#pragma once

#include <QObject>
#include <memory>

#include "view/channel_menu.h"

class QMdiSubWindow;
class QMenu;

namespace kresograf {

class CMainFrame;
class CZefraKrgView;
class CZnacznikiDlg;
class PlotPrinting;

// The plot windows' own commands: channel choice, markers and their window, copy and printing.
// Registers each with the main frame together with its enabled and checked rule, and owns what
// the commands share across windows: the markers window and the printer.
class ViewCommands : public QObject {
    Q_OBJECT

  public:
    explicit ViewCommands(CMainFrame& frame);
    ~ViewCommands() override;

    CZnacznikiDlg* MarkersWindow() const { return markersWindow_; }
    PlotPrinting& Printing() { return *printing_; }

    // A new plot window: its view reports its markers, its frame gets a branch in the window.
    void AttachView(CZefraKrgView* view, QMdiSubWindow* frame);
    // One of the three channel submenus, with the items of all eight channels.
    QMenu* BuildChannelMenu(ChannelMenu menu, QWidget* parent) const;

  private:
    void Register();

    CMainFrame& frame_;
    CZnacznikiDlg* markersWindow_ = nullptr;
    std::unique_ptr<PlotPrinting> printing_;
};

}  // namespace kresograf
