#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSettings>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "acquisition/acquisition_runner.h"
#include "base/settings_record.h"
#include "card/card_port.h"
#include "gui/shell/frame_bridge.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/gui_document.h"
#include "gui/shell/help_loader.h"
#include "gui/shell/qt_settings_store.h"
#include "gui/shell/recent_file_list.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kresograf {

class Clock;
class CChildFrame;
class CKanalyPropertyFrame;
struct PropertiesValues;
class CZefraKrgView;
class GenerationCommands;
class CZnacznikiDlg;
class PortIo;
class ViewCommands;
struct CommandInfo;

// The program's main window: the plot windows in an MDI area, the menus, the toolbar and the
// status bar; the settings record and the acquisition token; the card and the acquisition
// worker, which reaches this window only through the frame bridge.
class CMainFrame : public QMainWindow {
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
    FramePrompts& Prompts() { return *prompts_; }
    // The executable whose folder holds the help file.
    void SetProgramPath(const QString& path) { programPath_ = path; }
    // Where the installed help lives and how a page is shown; tests replace both.
    void SetHelp(QString installedFolder, HelpLoader::Opener opener) {
        helpFolder_ = std::move(installedFolder);
        helpOpener_ = std::move(opener);
    }

    // "&Nowy": a new empty document with one view.
    GuiDocument* NewDocument();
    // Opens a .kgd file (or activates it when it is already open); null on failure, after the
    // user was told why.
    GuiDocument* OpenDocumentFile(const QString& path);
    // The framework-like save commands; false when nothing was saved.
    bool SaveDocument(GuiDocument& document);
    bool SaveDocumentAs(GuiDocument& document);
    // A second view of a document ("&Nowe okno").
    CZefraKrgView* NewView(GuiDocument& document);

    const std::vector<std::unique_ptr<GuiDocument>>& Documents() const { return documents_; }
    GuiDocument* FindDocument(uint32_t docId) const;
    CZefraKrgView* ActiveView() const;
    GuiDocument* ActiveDocument() const;
    QMdiArea* MdiArea() const { return mdi_; }
    CZnacznikiDlg* MarkersWindow() const;

    QAction* Action(int id) const { return actions_.value(id); }
    QToolBar* ToolBar() const { return toolBar_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* RecentMenu() const { return recentMenu_; }
    // The text of the status bar's message pane when no prompt covers it.
    QString IdleText() const { return idleLabel_->text(); }
    QList<QLabel*> IndicatorPanes() const { return {capsLabel_, numLabel_, scrollLabel_}; }

    SettingsRecord& Settings() { return settingsRecord_; }
    RecentFileList& Recent() { return recent_; }
    FrameBridge& Bridge() { return *bridge_; }
    AcquisitionRunner& Runner() { return *runner_; }
    // The card link, for the output commands while no acquisition runs.
    CardPort& Card() { return card_; }
    GenerationCommands& Generation() { return *generation_; }

    // Each area of the program (view, parameters window, export, outputs) registers its own
    // commands: what runs them and their enabled and checked state. The frame only routes.
    void RegisterCommand(int id, std::function<void()> run, std::function<CommandState()> state);

    // Runs a command as its menu item, button or accelerator would.
    void RunCommand(int id);
    // Brings every command's enabled and checked state up to date.
    void UpdateCommandStates();

    // The acquisition messages, on the UI thread.
    void HandleAcquisitionMessage(uint32_t message, uint32_t wParam);
    // A plot window became active: its document's working parameters are the ones to show.
    void ShowDocumentParams(uint32_t docId);
    // "Parametry akwizycji"; null when it could not be made.
    CKanalyPropertyFrame* ParamsFrame() const { return paramsFrame_; }
    // "Właściw&ości ...": runs the properties sheet; on OK takes its values over.
    void ShowProperties();
    // Takes accepted properties over: stored, told to the card, every view redrawn.
    void ApplyProperties(const PropertiesValues& values);
    // Help topics: opens the help's first page in the desktop's browser, or says it cannot.
    void ShowHelp();
    void ShowAbout();

    // Puts the window where, as large as and in the state it was when the program last closed.
    void RestoreWindowState();

    // A plot window asks whether it may close; the last window of a modified document asks the
    // user to save it.
    bool CanCloseFrame(CChildFrame* frame);
    void FrameClosing(CChildFrame* frame);
    // The caption names the active plot window; plot windows call it when their state changes.
    void UpdateMainTitle();

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
    void RebuildRecentMenu();
    void UpdateMenusForDocuments();
    void UpdateIndicators();
    void UpdateTitles(GuiDocument& document);
    QString FrameTitle(const GuiDocument& document, int viewIndex) const;
    void PlaceNewFrame(QMdiSubWindow* frame);
    GuiDocument& AddDocument(std::unique_ptr<GuiDocument> document);
    CChildFrame* FrameOf(CZefraKrgView* view) const;
    void RemoveDocument(GuiDocument& document);
    bool AskToSave(GuiDocument& document);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ToggleAcquisition(bool recording);
    void ShowRegisteredParams();
    void ShutdownAcquisition();
    // Gains accepted during an acquisition reach the settings (and the simulated card) here.
    void TakePendingGains();

    QSettings& qsettings_;
    QtSettingsStore store_;
    SettingsRecord settingsRecord_;
    RecentFileList recent_;
    DialogPrompts dialogPrompts_;
    FramePrompts* prompts_ = &dialogPrompts_;
    QString programPath_;
    QString helpFolder_ = HelpLoader::InstalledFolder();
    HelpLoader::Opener helpOpener_ = HelpLoader::DesktopOpener();

    std::unique_ptr<PortIo> io_;
    CardPort card_;
    std::unique_ptr<FrameBridge> bridge_;
    // Documents outlive the worker: the runner is destroyed (and joined) first.
    std::vector<std::unique_ptr<GuiDocument>> documents_;
    std::unique_ptr<AcquisitionRunner> runner_;
    std::unique_ptr<GenerationCommands> generation_;
    int untitledCount_ = 0;
    bool shownOnce_ = false;
    bool closing_ = false;

    QMdiArea* mdi_ = nullptr;
    ViewCommands* viewCommands_ = nullptr;
    QMap<int, QAction*> actions_;
    struct RegisteredCommand {
        std::function<void()> Run;
        std::function<CommandState()> State;
    };
    std::map<int, RegisteredCommand> registered_;
    QList<QMenu*> documentMenus_;
    QMenu* fileMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* idleLabel_ = nullptr;
    QLabel* capsLabel_ = nullptr;
    QLabel* numLabel_ = nullptr;
    QLabel* scrollLabel_ = nullptr;
    QString acquisitionStatus_;
    CKanalyPropertyFrame* paramsFrame_ = nullptr;
    std::optional<std::array<uint8_t, 8>> pendingGains_;
};

}  // namespace kresograf
