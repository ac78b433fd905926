#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QSettings>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "acquisition/acquisition_runner.h"
#include "base/settings_record.h"
#include "card/card_port.h"
#include "gui/acquisition/acquisition_commands.h"
#include "gui/generation/generation_commands.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/application_commands.h"
#include "gui/shell/document_commands.h"
#include "gui/shell/frame_bridge.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/qt_settings_store.h"
#include "gui/shell/window_commands.h"
#include "gui/view/view_commands.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kresograf {

class Clock;
class CKanalyPropertyFrame;
class CZnacznikiDlg;
class PortIo;

// The program's main window: the plot windows in an MDI area, the menus, the toolbar and the
// status bar; the settings record, the card and the acquisition worker, which reaches this
// window only through the frame bridge. It routes: each command belongs to the area that
// registered it (documents, windows, acquisition, view, export, outputs, the program's own), and
// the menus and toolbar are laid out from the command table.
class CMainFrame : public QMainWindow, public AppFrame {
    Q_OBJECT

  public:
    // settings: where the settings record and the recent-file list live. card: the card's
    // registers (simulated or real); clock: the time the card link runs on. addressOverride
    // replaces the stored card address for this run without storing it.
    CMainFrame(QSettings& settings, std::unique_ptr<PortIo> card, Clock& clock,
               std::optional<uint32_t> addressOverride = std::nullopt, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Tests answer the dialogs themselves.
    void SetPrompts(FramePrompts* prompts);
    // Runs a command as its menu item, button or keys would.
    void RunCommand(int id);

    // AppFrame.
    void RegisterCommand(int id, CommandRun run, CommandRule rule) override;
    void UpdateCommandStates() override;
    QAction* Action(int id) const override { return actions_.value(id); }
    QMenu* Menu(const QString& name) const override { return menus_.value(name); }
    void WatchActiveView(std::function<void(CZefraKrgView& view)> watcher) override {
        viewWatchers_.push_back(std::move(watcher));
    }
    QMainWindow& Window() override { return *this; }
    QMdiArea* MdiArea() const override { return mdi_; }
    CZefraKrgView* ActiveView() const override;
    GuiDocument* ActiveDocument() const override;
    const std::vector<std::unique_ptr<GuiDocument>>& Documents() const override {
        return documents_->Documents();
    }
    SettingsRecord& Settings() override { return settingsRecord_; }
    FramePrompts& Prompts() override { return *prompts_; }
    void ShowMessage(const UserMessage& message) override;
    void SetStatusText(const QString& text) override;

    // The areas.
    DocumentCommands& Files() { return *documents_; }
    AcquisitionCommands& Acquisition() { return *acquisition_; }
    ApplicationCommands& Application() { return *application_; }
    GenerationCommands& Generation() { return *generation_; }
    CZnacznikiDlg* MarkersWindow() const { return viewCommands_->MarkersWindow(); }
    CKanalyPropertyFrame* ParamsFrame() const { return acquisition_->ParamsFrame(); }

    GuiDocument* NewDocument() { return documents_->NewDocument(); }
    GuiDocument* OpenDocumentFile(const QString& path) {
        return documents_->OpenDocumentFile(path);
    }
    // Offers the recordings left unsaved by a program that ended unexpectedly (at start-up).
    void OfferInterruptedRecordings();
    void HandleAcquisitionMessage(uint32_t message, uint32_t wParam) {
        acquisition_->HandleAcquisitionMessage(message, wParam);
    }

    QToolBar* ToolBar() const { return toolBar_; }
    // The text of the status bar's message pane.
    QString IdleText() const { return messagePane_->text(); }
    QList<QLabel*> IndicatorPanes() const { return {capsLabel_, numLabel_, scrollLabel_}; }
    FrameBridge& Bridge() { return *bridge_; }
    AcquisitionRunner& Runner() { return *runner_; }
    CardPort& Card() { return card_; }

    // Puts the window where, as large as and in the state it was when the program last closed.
    void RestoreWindowState();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // .kgd files dropped on the window open as documents.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateIndicators();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ShutdownAcquisition();

    QSettings& qsettings_;
    QtSettingsStore store_;
    SettingsRecord settingsRecord_;
    DialogPrompts dialogPrompts_;
    FramePrompts* prompts_ = &dialogPrompts_;

    std::unique_ptr<PortIo> io_;
    CardPort card_;
    std::unique_ptr<FrameBridge> bridge_;
    std::unique_ptr<AcquisitionRunner> runner_;
    bool shownOnce_ = false;

    QMdiArea* mdi_ = nullptr;
    QMap<int, QAction*> actions_;
    QMap<QString, QMenu*> menus_;
    struct RegisteredCommand {
        CommandRun Run;
        CommandRule Rule;
    };
    std::map<int, RegisteredCommand> registered_;
    std::vector<std::function<void(CZefraKrgView&)>> viewWatchers_;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QLabel* capsLabel_ = nullptr;
    QLabel* numLabel_ = nullptr;
    QLabel* scrollLabel_ = nullptr;

    // The areas, each with the commands it owns; the documents outlive the worker, which is
    // joined before anything here goes.
    std::unique_ptr<ViewCommands> viewCommands_;
    std::unique_ptr<DocumentCommands> documents_;
    std::unique_ptr<WindowCommands> windows_;
    std::unique_ptr<AcquisitionCommands> acquisition_;
    std::unique_ptr<ApplicationCommands> application_;
    std::unique_ptr<GenerationCommands> generation_;
};

}  // namespace kresograf
