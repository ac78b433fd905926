#include "gui/shell/window_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/document_commands.h"

namespace kresograf {

WindowCommands::WindowCommands(AppFrame& frame, DocumentCommands& documents, QToolBar& toolBar,
                               QStatusBar& statusBar)
    : frame_(frame) {
    QMdiArea& area = *frame.MdiArea();
    const auto withDocument = [&frame] {
        return CommandState{frame.ActiveDocument() != nullptr, false};
    };
    frame.RegisterCommand(
        ID_WINDOW_NEW,
        [&frame, &documents] {
            if (GuiDocument* document = frame.ActiveDocument()) {
                documents.NewView(*document);
            }
        },
        withDocument);
    frame.RegisterCommand(
        ID_WINDOW_CASCADE, [&area] { area.cascadeSubWindows(); }, withDocument);
    frame.RegisterCommand(
        ID_WINDOW_TILE_HORZ, [&area] { area.tileSubWindows(); }, withDocument);
    frame.RegisterCommand(
        ID_WINDOW_ARRANGE,
        [&area] {
            for (QMdiSubWindow* window : area.subWindowList()) {
                if (window->isMinimized()) {
                    window->showMinimized();
                }
            }
        },
        withDocument);
    frame.RegisterCommand(
        ID_NEXT_PANE, [&area] { area.activateNextSubWindow(); }, withDocument);
    frame.RegisterCommand(
        ID_PREV_PANE, [&area] { area.activatePreviousSubWindow(); }, withDocument);
    frame.RegisterCommand(
        ID_VIEW_TOOLBAR, [&toolBar] { toolBar.setVisible(!toolBar.isVisible()); },
        [&toolBar] {
            return CommandState{true, !toolBar.isHidden()};
        });
    frame.RegisterCommand(
        ID_VIEW_STATUS_BAR, [&statusBar] { statusBar.setVisible(!statusBar.isVisible()); },
        [&statusBar] {
            return CommandState{true, !statusBar.isHidden()};
        });
    // Hiding the toolbar by its own handle unchecks the item at once.
    connect(&toolBar, &QToolBar::visibilityChanged, frame.Action(ID_VIEW_TOOLBAR),
            &QAction::setChecked);
    QMenu* menu = frame.Menu(QStringLiteral("MenuWindow"));
    connect(menu, &QMenu::aboutToShow, this, &WindowCommands::ListWindows);
}

void WindowCommands::ListWindows() {
    QMenu* menu = frame_.Menu(QStringLiteral("MenuWindow"));
    for (QAction* item : std::as_const(listed_)) {
        menu->removeAction(item);
        delete item;
    }
    listed_.clear();
    QMdiArea& area = *frame_.MdiArea();
    const QList<QMdiSubWindow*> windows = area.subWindowList();
    if (!windows.isEmpty()) {
        listed_ << menu->addSeparator();
    }
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* item =
            menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == area.activeSubWindow());
        connect(item, &QAction::triggered, this,
                [&area, window] { area.setActiveSubWindow(window); });
        listed_ << item;
    }
}

}  // namespace kresograf
