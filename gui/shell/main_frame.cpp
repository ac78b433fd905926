#include "gui/shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "base/translation.h"
#include "card/port_io.h"
#include "document/recordings_folder.h"
#include "gui/document/export_dlg.h"
#include "gui/shell/artwork.h"
#include "gui/shell/child_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/splash_window.h"
#include "gui/view/zefra_krg_view.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// Key-lock state as the kernel's keyboard LEDs show it; false where there are none to read.
bool LedLit(const QString& suffix) {
    const QDir leds(QStringLiteral("/sys/class/leds"));
    for (const QString& name : leds.entryList({QStringLiteral("*::") + suffix}, QDir::AllEntries)) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0) {
            return true;
        }
    }
    return false;
}

const char* const GeometryKey = "Window/Geometry";
const char* const StateKey = "Window/State";

}  // namespace

CMainFrame::CMainFrame(QSettings& settings, std::unique_ptr<PortIo> card, Clock& clock,
                       std::optional<uint32_t> addressOverride, QWidget* parent)
    : QMainWindow(parent),
      qsettings_(settings),
      store_(settings),
      io_(std::move(card)),
      card_(*io_, clock) {
    settingsRecord_.Load(store_);
    if (addressOverride) {
        settingsRecord_.PortAddress = *addressOverride;
    }
    bridge_ = std::make_unique<FrameBridge>(FrameBridge::Handlers{
        [this](uint32_t message, uint32_t wParam) { HandleAcquisitionMessage(message, wParam); },
        [this](const UserMessage& message) { ShowMessage(message); },
        [this](const RegisteredParamsRequest& request) {
            prompts_->ShowRegisteredParams(this, request);
        }});
    runner_ = std::make_unique<AcquisitionRunner>(settingsRecord_, card_, *bridge_);

    setObjectName("IDR_MAINFRAME");
    setWindowTitle(Utf8(Tr(texts::MainTitle)));
    setWindowIcon(ProgramIcon());
    mdi_ = new QMdiArea;
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    // Each area registers its own commands.
    viewCommands_ = std::make_unique<ViewCommands>(*this);
    documents_ = std::make_unique<DocumentCommands>(*this, settings, *viewCommands_);
    windows_ = std::make_unique<WindowCommands>(*this, *documents_, *toolBar_, *statusBar());
    acquisition_ = std::make_unique<AcquisitionCommands>(*this, *runner_, *io_);
    application_ =
        std::make_unique<ApplicationCommands>(*this, store_, *acquisition_, settings, *runner_);
    generation_ = std::make_unique<GenerationCommands>(*this, card_, *runner_);
    RegisterExportCommands(*this);
    documents_->DocumentClosing = [this](GuiDocument& document, bool last) {
        acquisition_->DocumentClosing(document, last);
    };
    UpdateCommandStates();

    // The enabled and checked states follow the acquisition, which changes them from another
    // thread; a light poll keeps them right between the events that update them directly.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        UpdateCommandStates();
        UpdateIndicators();
        // A file cut short under the program shows up as the views read it.
        documents_->ReportFileErrors();
    });
    idle->start(200);
    resize(1000, 700);
}

CMainFrame::~CMainFrame() {
    ShutdownAcquisition();
    documents_->DestroyAll();
}

void CMainFrame::ShutdownAcquisition() {
    // From here on the worker's messages are dropped and its waits return, so it can end.
    bridge_->Shutdown();
    runner_->RequestStop();
    runner_->Join();
}

void CMainFrame::SetPrompts(FramePrompts* prompts) {
    prompts_ = prompts != nullptr ? prompts : &dialogPrompts_;
}

void CMainFrame::ShowMessage(const UserMessage& message) {
    prompts_->ShowMessage(this, message);
}

void CMainFrame::SetStatusText(const QString& text) {
    messagePane_->setText(text.isEmpty() ? Utf8(Tr(texts::IdlePrompt)) : text);
}

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : Commands()) {
        auto* action = new QAction(info.Text, this);
        action->setData(info.Id);
        action->setObjectName(CommandObjectName(info.Id));
        action->setStatusTip(info.Prompt);
        action->setToolTip(info.Tooltip);
        action->setCheckable(info.Checkable);
        // Menus show the icons on the toolbar only.
        action->setIconVisibleInMenu(false);
        if (!info.Keys.isEmpty()) {
            action->setShortcut(info.Keys);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        const int id = info.Id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        actions_.insert(info.Id, action);
        // Accelerators work whether or not their command is in a visible menu.
        addAction(action);
    }
}

void CMainFrame::CreateMenus() {
    for (const MenuResource& resource : MenuLayout()) {
        auto* menu = new QMenu(resource.Title, this);
        menu->setObjectName(resource.Name);
        menus_.insert(resource.Name, menu);
    }
    for (const MenuResource& resource : MenuLayout()) {
        QMenu* menu = menus_.value(resource.Name);
        for (const MenuEntry& entry : resource.Entries) {
            if (!entry.Submenu.isEmpty()) {
                menu->addMenu(menus_.value(entry.Submenu));
            } else if (entry.Id == 0) {
                menu->addSeparator();
            } else {
                menu->addAction(actions_.value(entry.Id));
            }
        }
        if (resource.TopLevel) {
            menuBar()->addMenu(menu);
        }
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(Utf8(Tr("Pasek narzędzi")));
    toolBar_->setObjectName("AFX_IDW_TOOLBAR");
    toolBar_->setIconSize(QSize(16, 15));
    for (int id : ToolbarLayout()) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else {
            actions_[id]->setIcon(ToolbarIcon(id));
            toolBar_->addAction(actions_[id]);
        }
    }
}

void CMainFrame::CreateStatusBar() {
    messagePane_ = new QLabel(Utf8(Tr(texts::IdlePrompt)));
    messagePane_->setObjectName("MessagePane");
    statusBar()->addWidget(messagePane_, 1);
    auto indicator = [this](const char* text) {
        auto* label = new QLabel(Utf8(Tr(text)));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
        return label;
    };
    capsLabel_ = indicator(texts::CapsIndicator);
    numLabel_ = indicator(texts::NumIndicator);
    scrollLabel_ = indicator(texts::ScrollIndicator);
    UpdateIndicators();
}

void CMainFrame::UpdateIndicators() {
    capsLabel_->setEnabled(LedLit(QStringLiteral("capslock")));
    numLabel_->setEnabled(LedLit(QStringLiteral("numlock")));
    scrollLabel_->setEnabled(LedLit(QStringLiteral("scrolllock")));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DocumentCommands::DroppedDocuments(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = DocumentCommands::DroppedDocuments(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    for (const QString& path : paths) {
        documents_->OpenDocumentFile(path);
    }
}

void CMainFrame::RestoreWindowState() {
    restoreGeometry(qsettings_.value(GeometryKey).toByteArray());
    restoreState(qsettings_.value(StateKey).toByteArray());
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        SplashWindow::ShowSplash(this);
    }
}

void CMainFrame::OfferInterruptedRecordings() {
    QStringList folders{application_->RecordingsFolder()};
    // One left in the default folder before the user chose another is found too.
    const QString standard = QString::fromStdString(DefaultRecordingsFolder());
    if (!folders.contains(standard)) {
        folders << standard;
    }
    // The splash stays on top: the question must not wait behind it.
    for (const QString& folder : folders) {
        if (!FindInterruptedRecordings(QFile::encodeName(folder).toStdString()).empty()) {
            SplashWindow::HideSplash();
            break;
        }
    }
    documents_->OfferInterruptedRecordings(folders);
}

CZefraKrgView* CMainFrame::ActiveView() const {
    auto* frame = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
    return frame != nullptr ? frame->View() : nullptr;
}

GuiDocument* CMainFrame::ActiveDocument() const {
    CZefraKrgView* view = ActiveView();
    return view != nullptr ? &view->Document() : nullptr;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!documents_->CloseAll()) {
        event->ignore();
        return;
    }
    qsettings_.setValue(GeometryKey, saveGeometry());
    qsettings_.setValue(StateKey, saveState());
    SplashWindow::HideSplash();
    ShutdownAcquisition();
    mdi_->closeAllSubWindows();
    event->accept();
}

void CMainFrame::RegisterCommand(int id, CommandRun run, CommandRule rule) {
    registered_[id] = RegisteredCommand{std::move(run), std::move(rule)};
}

void CMainFrame::RunCommand(int id) {
    // A key or a queued click may come after the state changed: the rule decides now.
    if (auto found = registered_.find(id);
        found != registered_.end() && found->second.Rule().Enabled) {
        found->second.Run();
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
    for (const auto& [id, command] : registered_) {
        QAction* action = actions_.value(id);
        if (action == nullptr) {
            continue;
        }
        const CommandState state = command.Rule();
        if (action->isEnabled() != state.Enabled) {
            action->setEnabled(state.Enabled);
        }
        if (action->isCheckable() && action->isChecked() != state.Checked) {
            action->setChecked(state.Checked);
        }
    }
    const bool anyDocument = documents_ != nullptr && !documents_->Documents().empty();
    for (const MenuResource& resource : MenuLayout()) {
        if (resource.NeedsDocument) {
            menus_.value(resource.Name)->menuAction()->setVisible(anyDocument);
        }
    }
    if (documents_ != nullptr) {
        documents_->UpdateTitles();
    }
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    auto* frame = qobject_cast<CChildFrame*>(window);
    if (frame != nullptr && frame->View() != nullptr) {
        for (const auto& watcher : viewWatchers_) {
            watcher(*frame->View());
        }
    }
    documents_->UpdateMainTitle();
    UpdateCommandStates();
}

}  // namespace kresograf
