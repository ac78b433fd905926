#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "base/settings_record.h"
#include "document/zefra_krg_doc.h"
#include "gui/shell/gui_document.h"

class QAction;
class QMainWindow;
class QMdiArea;
class QMenu;

namespace kresograf {

class CZefraKrgView;
class FramePrompts;
struct UserMessage;

// The main window as the program's areas see it. Each area (documents, windows, acquisition,
// view, export, outputs, help) registers its own commands here and asks the frame only for what
// it works on; none of them knows the main frame's class.
class AppFrame {
  public:
    using CommandRun = std::function<void()>;
    using CommandRule = std::function<CommandState()>;

    // A command's handler and its enabled and checked rule. Its menu item, toolbar button and
    // keys come from the command table; whichever of them the user takes, the handler runs only
    // while the rule enables it.
    virtual void RegisterCommand(int id, CommandRun run, CommandRule rule) = 0;
    // Brings every command's enabled and checked state up to date.
    virtual void UpdateCommandStates() = 0;
    virtual QAction* Action(int id) const = 0;
    // A menu of the menu layout by its object name ("MenuRecentFiles", "MenuWindow" ...).
    virtual QMenu* Menu(const QString& name) const = 0;

    // Called with the view of each plot window that becomes the active one (a tool window that
    // follows the active plot, the parameters window binding to its document).
    virtual void WatchActiveView(std::function<void(CZefraKrgView& view)> watcher) = 0;

    // The window that owns the program's dialogs and tool windows.
    virtual QMainWindow& Window() = 0;
    virtual QMdiArea* MdiArea() const = 0;
    virtual CZefraKrgView* ActiveView() const = 0;
    virtual GuiDocument* ActiveDocument() const = 0;
    virtual const std::vector<std::unique_ptr<GuiDocument>>& Documents() const = 0;

    virtual SettingsRecord& Settings() = 0;
    // Message boxes, file names and questions (tests answer them in code).
    virtual FramePrompts& Prompts() = 0;
    // A message box owned by the main window.
    virtual void ShowMessage(const UserMessage& message) = 0;
    // The status bar's message pane; an empty text shows the idle prompt.
    virtual void SetStatusText(const QString& text) = 0;

    // The rule of a document's command: the active document's answer, off without one.
    CommandRule DocumentRule(DocCommand command) {
        return [this, command] {
            const GuiDocument* document = ActiveDocument();
            return document != nullptr
                       ? document->Doc->QueryCommand(command, Settings().AcquiringDocId.load())
                       : CommandState{};
        };
    }

  protected:
    ~AppFrame() = default;
};

}  // namespace kresograf
