#include "gui/shell/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "base/translation.h"
#include "card/port_io.h"
#include "card/simulated_card.h"
#include "document/kgd_file.h"
#include "document/registered_params.h"
#include "generation/generation_texts.h"
#include "gui/acquisition/params_window.h"
#include "gui/document/export_dlg.h"
#include "gui/generation/generation_commands.h"
#include "gui/shell/about_dlg.h"
#include "gui/shell/artwork.h"
#include "gui/shell/child_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/help_loader.h"
#include "gui/shell/properties_sheet.h"
#include "gui/shell/splash_window.h"
#include "gui/view/view_commands.h"
#include "gui/view/zefra_krg_view.h"
#include "shell/shell_texts.h"
#include "shell/window_titles.h"

namespace kresograf {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

std::string FsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString CanonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
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

}  // namespace

CMainFrame::CMainFrame(QSettings& settings, std::unique_ptr<PortIo> card, Clock& clock,
                       std::optional<uint32_t> addressOverride, QWidget* parent)
    : QMainWindow(parent),
      qsettings_(settings),
      store_(settings),
      recent_(settings),
      io_(std::move(card)),
      card_(*io_, clock) {
    settingsRecord_.Load(store_);
    if (addressOverride) {
        settingsRecord_.PortAddress = *addressOverride;
    }
    bridge_ = std::make_unique<FrameBridge>(FrameBridge::Handlers{
        [this](uint32_t message, uint32_t wParam) { HandleAcquisitionMessage(message, wParam); },
        [this](const UserMessage& message) { prompts_->ShowMessage(this, message); },
        [this](const RegisteredParamsRequest& request) {
            prompts_->ShowRegisteredParams(this, request);
        }});
    runner_ = std::make_unique<AcquisitionRunner>(settingsRecord_, card_, *bridge_);
    // The simulated card cannot see the gain jumpers; it is told the stored gains instead.
    if (auto* simulated = dynamic_cast<SimulatedCard*>(io_.get())) {
        for (int input = 0; input < 8; ++input) {
            simulated->SetInputGain(input, settingsRecord_.HighGain(input));
        }
    }

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
    generation_ = std::make_unique<GenerationCommands>(*this);
    viewCommands_ = new ViewCommands(*this);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    // Lives as long as this window, hidden until asked for; binds to the active document.
    paramsFrame_ = new CKanalyPropertyFrame(
        [this](QWidget* owner, const UserMessage& message) {
            prompts_->ShowMessage(owner, message);
        },
        this);
    // Start and stop, and help, work from the parameters window as well.
    paramsFrame_->addAction(actions_[ID_OSC_START]);
    paramsFrame_->addAction(actions_[ID_HELP_FINDER]);
    RegisterCommand(
        ID_ACQ_PARAMS,
        [this] {
            if (paramsFrame_ != nullptr && paramsFrame_->isHidden()) {
                paramsFrame_->ShowOver(*this);
            }
        },
        [this] {
            return CommandState{paramsFrame_ != nullptr, false};
        });
    RegisterCommand(
        ID_PROPERTIES, [this] { ShowProperties(); },
        [] {
            return CommandState{true, false};
        });
    RegisterCommand(
        ID_EXPORT_ASCII, [this] { RunExportAscii(*this); },
        [this] {
            GuiDocument* document = ActiveDocument();
            return document != nullptr ? document->Doc->QueryCommand(DocCommand::ExportAscii,
                                                                     settingsRecord_.AcquiringDocId)
                                       : CommandState{};
        });
    UpdateMenusForDocuments();
    UpdateCommandStates();

    // The enabled and checked states follow the acquisition, which changes them from another
    // thread; a light poll keeps them right between the events that update them directly.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        UpdateCommandStates();
        UpdateIndicators();
    });
    idle->start(200);
    resize(1000, 700);
}

CMainFrame::~CMainFrame() {
    ShutdownAcquisition();
    // The parameters window outlives the documents by a little; it lets go of them first.
    if (paramsFrame_ != nullptr) {
        paramsFrame_->Unbind();
    }
    // The views refer to their documents: they go first.
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        delete window;
    }
    documents_.clear();
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

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : Commands()) {
        auto* action = new QAction(info.Text, this);
        action->setData(info.Id);
        action->setObjectName(CommandObjectName(info.Id));
        action->setStatusTip(info.Prompt);
        action->setToolTip(info.Tooltip);
        action->setCheckable(info.Checkable);
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
    for (int id :
         {ID_OSC_START, ID_REC_START, ID_LINK_SCALES, ID_GRID, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR,
          ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT, ID_SWAP_CHANNELS, ID_AUTOSCALE,
          ID_ALIGN_SCALES, ID_FIX_X_ZERO, ID_FIX_Y_ZERO, ID_APP_ABOUT, ID_HELP_FINDER}) {
        actions_[id]->setIcon(ToolbarIcon(id));
    }
    // Menus show the icons on the toolbar only.
    for (QAction* action : std::as_const(actions_)) {
        action->setIconVisibleInMenu(false);
    }
}

void CMainFrame::CreateMenus() {
    // Each menu has an object name that does not depend on the language of its title.
    auto topMenu = [this](const char* name, const char* title) {
        QMenu* menu = menuBar()->addMenu(Utf8(Tr(title)));
        menu->setObjectName(QString::fromUtf8(name));
        return menu;
    };
    fileMenu_ = topMenu("MenuFile", texts::MenuFile);
    fileMenu_->addAction(actions_[ID_FILE_NEW]);
    fileMenu_->addAction(actions_[ID_FILE_OPEN]);
    fileMenu_->addAction(actions_[ID_FILE_SAVE]);
    fileMenu_->addAction(actions_[ID_FILE_SAVE_AS]);
    fileMenu_->addSeparator();
    QMenu* exportMenu = fileMenu_->addMenu(Utf8(Tr("&Eksport danych do ")));
    exportMenu->setObjectName("MenuExport");
    exportMenu->addAction(actions_[ID_EXPORT_ASCII]);
    fileMenu_->addSeparator();
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP}) {
        fileMenu_->addAction(actions_[id]);
    }
    fileMenu_->addSeparator();
    recentMenu_ = fileMenu_->addMenu(Utf8(Tr(texts::RecentFiles)));
    recentMenu_->setObjectName("MenuRecentFiles");
    RebuildRecentMenu();
    fileMenu_->addSeparator();
    fileMenu_->addAction(actions_[ID_APP_EXIT]);

    QMenu* edit = topMenu("MenuEdit", texts::MenuEdit);
    edit->addAction(actions_[ID_EDIT_COPY]);
    edit->addAction(actions_[ID_EDIT_COPY_NEGATED]);

    QMenu* view = topMenu("MenuView", texts::MenuView);
    view->addAction(actions_[ID_VIEW_TOOLBAR]);
    view->addAction(actions_[ID_VIEW_STATUS_BAR]);
    view->addAction(actions_[ID_MARKERS_WINDOW]);

    QMenu* acquisition = topMenu("MenuAcquisition", texts::MenuAcquisition);
    acquisition->addAction(actions_[ID_OSC_START]);
    acquisition->addAction(actions_[ID_REC_START]);
    acquisition->addSeparator();
    acquisition->addAction(actions_[ID_ACQ_PARAMS]);
    acquisition->addAction(actions_[ID_REGISTERED_PARAMS]);

    QMenu* generation = topMenu("MenuGeneration", texts::MenuGeneration);
    generation->addAction(actions_[ID_GENERATOR]);
    generation->addSeparator();
    for (int id : {ID_FORMULA_OUTPUT, ID_ANALOG_FILE_OUTPUT, ID_DIGITAL_FILE_OUTPUT}) {
        generation->addAction(actions_[id]);
    }

    QMenu* tools = topMenu("MenuTools", texts::MenuTools);
    for (ChannelMenu menu :
         {ChannelMenu::Visibility, ChannelMenu::Active, ChannelMenu::RightAxis}) {
        tools->addMenu(viewCommands_->BuildChannelMenu(menu, tools));
    }
    tools->addAction(actions_[ID_SWAP_CHANNELS]);
    tools->addSeparator();
    for (int id : {ID_GRID, ID_AUTOSCALE, ID_ALIGN_SCALES, ID_LINK_SCALES, ID_FIX_X_ZERO,
                   ID_FIX_Y_ZERO, ID_MARKERS}) {
        tools->addAction(actions_[id]);
    }
    tools->addSeparator();
    tools->addAction(actions_[ID_PROPERTIES]);

    windowMenu_ = topMenu("MenuWindow", texts::MenuWindow);
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
        windowMenu_->clear();
        for (int id : {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE}) {
            windowMenu_->addAction(actions_[id]);
        }
        const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
        if (!windows.isEmpty()) {
            windowMenu_->addSeparator();
        }
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* window = windows[i];
            const QString title = window->windowTitle();
            QAction* item = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
            item->setCheckable(true);
            item->setChecked(window == mdi_->activeSubWindow());
            connect(item, &QAction::triggered, this,
                    [this, window] { mdi_->setActiveSubWindow(window); });
        }
    });

    QMenu* help = topMenu("MenuHelp", texts::MenuHelp);
    help->addAction(actions_[ID_HELP_FINDER]);
    help->addSeparator();
    help->addAction(actions_[ID_APP_ABOUT]);

    documentMenus_ = {edit, acquisition, generation, tools, windowMenu_};
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(Utf8(Tr("Pasek narzędzi")));
    toolBar_->setObjectName("AFX_IDW_TOOLBAR");
    toolBar_->setIconSize(QSize(16, 15));
    for (int id : ToolbarLayout()) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(actions_[id]);
        }
    }
    actions_[ID_VIEW_TOOLBAR]->setChecked(true);
    connect(toolBar_, &QToolBar::visibilityChanged, actions_[ID_VIEW_TOOLBAR],
            &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    idleLabel_ = new QLabel(Utf8(Tr(texts::IdlePrompt)));
    idleLabel_->setObjectName("MessagePane");
    statusBar()->addWidget(idleLabel_, 1);
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
    actions_[ID_VIEW_STATUS_BAR]->setChecked(true);
    UpdateIndicators();
}

void CMainFrame::UpdateIndicators() {
    capsLabel_->setEnabled(LedLit(QStringLiteral("capslock")));
    numLabel_->setEnabled(LedLit(QStringLiteral("numlock")));
    scrollLabel_->setEnabled(LedLit(QStringLiteral("scrolllock")));
}

void CMainFrame::RebuildRecentMenu() {
    recentMenu_->clear();
    const QStringList& files = recent_.Files();
    for (int i = 0; i < files.size(); ++i) {
        QAction* item = recentMenu_->addAction(recent_.MenuText(i));
        item->setObjectName(CommandObjectName(ID_FILE_MRU_FILE1 + i));
        item->setData(ID_FILE_MRU_FILE1 + i);
        item->setStatusTip(Utf8(Tr(texts::RecentFilePrompt)) + QStringLiteral(": ") + files[i]);
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

void CMainFrame::UpdateMenusForDocuments() {
    const bool any = !documents_.empty();
    for (QMenu* menu : std::as_const(documentMenus_)) {
        menu->menuAction()->setVisible(any);
    }
}

namespace {

// The local .kgd files among dropped data.
QStringList DroppedDocuments(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() &&
            QFileInfo(path).suffix().compare(QStringLiteral("kgd"), Qt::CaseInsensitive) == 0) {
            paths << path;
        }
    }
    return paths;
}

const char* const GeometryKey = "Window/Geometry";
const char* const StateKey = "Window/State";

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDocuments(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedDocuments(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    for (const QString& path : paths) {
        OpenDocumentFile(path);
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

// --- documents ---------------------------------------------------------------------------

GuiDocument& CMainFrame::AddDocument(std::unique_ptr<GuiDocument> document) {
    documents_.push_back(std::move(document));
    UpdateMenusForDocuments();
    return *documents_.back();
}

GuiDocument* CMainFrame::NewDocument() {
    auto document = std::make_unique<GuiDocument>();
    document->Title = Utf8(Tr(texts::DocumentName)) + QString::number(++untitledCount_);
    GuiDocument& added = AddDocument(std::move(document));
    NewView(added);
    return &added;
}

GuiDocument* CMainFrame::OpenDocumentFile(const QString& path) {
    const QString canonical = CanonicalPath(path);
    for (const auto& document : documents_) {
        if (!document->Path.isEmpty() && CanonicalPath(document->Path) == canonical) {
            if (!document->Views.isEmpty()) {
                mdi_->setActiveSubWindow(FrameOf(document->Views.first()));
            }
            recent_.Add(canonical);
            RebuildRecentMenu();
            return document.get();
        }
    }
    auto document = std::make_unique<GuiDocument>();
    const FileResult result = kresograf::OpenDocument(*document->Doc, FsPath(path));
    if (!result.Ok()) {
        if (result.Message) {
            prompts_->ShowMessage(this, *result.Message);
        } else {
            prompts_->ShowMessage(
                this, UserMessage{Tr(texts::OpenFailedTitle),
                                  Utf8(Tr(texts::FileMissingText)).arg(path).toStdString(),
                                  MessageIcon::Exclamation});
        }
        recent_.Remove(path);
        RebuildRecentMenu();
        return nullptr;
    }
    document->Doc->Modified = false;
    document->Path = canonical;
    document->Title = QFileInfo(canonical).fileName();
    GuiDocument& added = AddDocument(std::move(document));
    recent_.Add(canonical);
    RebuildRecentMenu();
    NewView(added);
    return &added;
}

bool CMainFrame::SaveDocument(GuiDocument& document) {
    if (document.Path.isEmpty()) {
        return SaveDocumentAs(document);
    }
    if (!document.Doc->QueryCommand(DocCommand::Save, settingsRecord_.AcquiringDocId).Enabled) {
        return false;
    }
    const FileResult result = kresograf::SaveDocument(*document.Doc, FsPath(document.Path));
    if (!result.Ok()) {
        if (result.Message) {
            prompts_->ShowMessage(this, *result.Message);
        }
        return false;
    }
    document.Doc->Modified = false;
    recent_.Add(document.Path);
    RebuildRecentMenu();
    UpdateTitles(document);
    return true;
}

bool CMainFrame::SaveDocumentAs(GuiDocument& document) {
    if (!document.Doc->QueryCommand(DocCommand::SaveAs, settingsRecord_.AcquiringDocId).Enabled) {
        return false;
    }
    QString suggested = document.Path;
    if (suggested.isEmpty()) {
        suggested = document.Title + QStringLiteral(".") + Utf8(texts::FileExtension);
    }
    QString path = prompts_->AskSaveFileName(this, suggested);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".") + Utf8(texts::FileExtension);
    }
    const FileResult result = kresograf::SaveDocument(*document.Doc, FsPath(path));
    if (!result.Ok()) {
        if (result.Message) {
            prompts_->ShowMessage(this, *result.Message);
        }
        return false;
    }
    document.Doc->Modified = false;
    document.Path = CanonicalPath(path);
    document.Title = QFileInfo(document.Path).fileName();
    recent_.Add(document.Path);
    RebuildRecentMenu();
    UpdateTitles(document);
    return true;
}

CZefraKrgView* CMainFrame::NewView(GuiDocument& document) {
    auto* view = new CZefraKrgView(document, settingsRecord_);
    auto* frame = new CChildFrame(*this, view);
    viewCommands_->AttachView(view, frame);
    mdi_->addSubWindow(frame);
    document.Views.append(view);
    UpdateTitles(document);
    PlaceNewFrame(frame);
    frame->show();
    view->OnUpdate(HintInitial);
    mdi_->setActiveSubWindow(frame);
    UpdateCommandStates();
    return view;
}

void CMainFrame::PlaceNewFrame(QMdiSubWindow* frame) {
    // Three quarters of the area, cascading from the top left by one title bar per window and
    // starting over where the next step would leave the visible area.
    const QSize area = mdi_->viewport()->size();
    const QSize size(std::max(area.width() * 3 / 4, 400), std::max(area.height() * 3 / 4, 300));
    const int step =
        std::max(frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame), 8);
    const int steps = std::max(
        1, std::min(area.width() - size.width(), area.height() - size.height()) / step + 1);
    const int placed = static_cast<int>(mdi_->subWindowList().size()) - 1;
    const int offset = (std::max(placed, 0) % steps) * step;
    frame->setGeometry(offset, offset, size.width(), size.height());
}

QString CMainFrame::FrameTitle(const GuiDocument& document, int viewIndex) const {
    return QString::fromStdString(PlotWindowTitle(document.Title.toStdString(), viewIndex,
                                                  static_cast<int>(document.Views.size())));
}

void CMainFrame::UpdateTitles(GuiDocument& document) {
    // The captions name the document and never carry a marker; the windows still report an
    // unsaved document as modified (the windowModified flag, set without the caption marker).
    const bool modified = document.Doc->Modified.load();
    for (int i = 0; i < document.Views.size(); ++i) {
        if (CChildFrame* frame = FrameOf(document.Views[i])) {
            const QString title = FrameTitle(document, i);
            if (frame->windowTitle() != title) {
                frame->setWindowTitle(title);
            }
            frame->setAttribute(Qt::WA_WindowModified, modified);
        }
    }
    UpdateMainTitle();
}

void CMainFrame::UpdateMainTitle() {
    QMdiSubWindow* active = mdi_ != nullptr ? mdi_->activeSubWindow() : nullptr;
    const QString title = QString::fromStdString(
        MainWindowTitle(active != nullptr ? active->windowTitle().toStdString() : std::string(),
                        active != nullptr && active->isMaximized()));
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    auto* frame = qobject_cast<CChildFrame*>(active);
    setAttribute(Qt::WA_WindowModified, frame != nullptr && frame->View() != nullptr &&
                                            frame->View()->Document().Doc->Modified.load());
}

CChildFrame* CMainFrame::FrameOf(CZefraKrgView* view) const {
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        // A window being closed is no longer a plot frame while its base class goes.
        auto* frame = qobject_cast<CChildFrame*>(window);
        if (frame != nullptr && frame->View() == view) {
            return frame;
        }
    }
    return nullptr;
}

CZnacznikiDlg* CMainFrame::MarkersWindow() const {
    return viewCommands_->MarkersWindow();
}

GuiDocument* CMainFrame::FindDocument(uint32_t docId) const {
    for (const auto& document : documents_) {
        if (document->Doc->DocId == docId) {
            return document.get();
        }
    }
    return nullptr;
}

CZefraKrgView* CMainFrame::ActiveView() const {
    auto* frame = qobject_cast<CChildFrame*>(mdi_->activeSubWindow());
    return frame != nullptr ? frame->View() : nullptr;
}

GuiDocument* CMainFrame::ActiveDocument() const {
    CZefraKrgView* view = ActiveView();
    return view != nullptr ? &view->Document() : nullptr;
}

bool CMainFrame::AskToSave(GuiDocument& document) {
    if (!document.Doc->Modified.load()) {
        return true;
    }
    switch (prompts_->AskSaveChanges(this, document.Title)) {
        case FramePrompts::SaveAnswer::Save:
            return SaveDocument(document);
        case FramePrompts::SaveAnswer::Discard:
            return true;
        case FramePrompts::SaveAnswer::Cancel:
            return false;
    }
    return false;
}

bool CMainFrame::CanCloseFrame(CChildFrame* frame) {
    if (closing_) {
        return true;
    }
    GuiDocument& document = frame->View()->Document();
    if (auto refusal = document.Doc->CloseCheck(settingsRecord_.AcquiringDocId)) {
        prompts_->ShowMessage(this, *refusal);
        return false;
    }
    if (document.Views.size() == 1) {
        return AskToSave(document);
    }
    return true;
}

void CMainFrame::FrameClosing(CChildFrame* frame) {
    CZefraKrgView* view = frame->View();
    GuiDocument& document = view->Document();
    document.Views.removeAll(view);
    if (!document.Views.isEmpty()) {
        UpdateTitles(document);
        return;
    }
    RemoveDocument(document);
    if (documents_.size() == 1 && paramsFrame_ != nullptr) {
        // The last document closes: its parameters window goes with it.
        paramsFrame_->hide();
    }
    // The view is deleted with its frame a little later; its document must outlive it.
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&](const auto& d) { return d.get() == &document; });
    if (it != documents_.end()) {
        std::shared_ptr<GuiDocument> holder(std::move(*it));
        documents_.erase(it);
        connect(view, &QObject::destroyed, this, [holder] {});
    }
    UpdateMenusForDocuments();
    UpdateCommandStates();
}

void CMainFrame::RemoveDocument(GuiDocument& document) {
    if (settingsRecord_.ShownParamsDocId == document.Doc->DocId) {
        settingsRecord_.ShownParamsDocId = 0;
        if (paramsFrame_ != nullptr) {
            paramsFrame_->Unbind();
        }
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    for (const auto& document : documents_) {
        if (auto refusal = document->Doc->CloseCheck(settingsRecord_.AcquiringDocId)) {
            prompts_->ShowMessage(this, *refusal);
            event->ignore();
            return;
        }
    }
    for (const auto& document : documents_) {
        if (!AskToSave(*document)) {
            event->ignore();
            return;
        }
    }
    closing_ = true;
    qsettings_.setValue(GeometryKey, saveGeometry());
    qsettings_.setValue(StateKey, saveState());
    SplashWindow::HideSplash();
    ShutdownAcquisition();
    mdi_->closeAllSubWindows();
    event->accept();
}

// --- commands ------------------------------------------------------------------------------

void CMainFrame::RunCommand(int id) {
    GuiDocument* document = ActiveDocument();
    CZefraKrgView* view = ActiveView();
    switch (id) {
        case ID_FILE_NEW:
            NewDocument();
            break;
        case ID_FILE_OPEN: {
            const QString path = prompts_->AskOpenFileName(this);
            if (!path.isEmpty()) {
                OpenDocumentFile(path);
            }
            break;
        }
        case ID_FILE_SAVE:
            if (document != nullptr) {
                SaveDocument(*document);
            }
            break;
        case ID_FILE_SAVE_AS:
            if (document != nullptr) {
                SaveDocumentAs(*document);
            }
            break;
        case ID_APP_EXIT:
            close();
            break;
        case ID_APP_ABOUT:
            ShowAbout();
            break;
        case ID_HELP_FINDER:
            ShowHelp();
            break;
        case ID_WINDOW_NEW:
            if (document != nullptr) {
                NewView(*document);
            }
            break;
        case ID_WINDOW_CASCADE:
            mdi_->cascadeSubWindows();
            break;
        case ID_WINDOW_TILE_HORZ:
            mdi_->tileSubWindows();
            break;
        case ID_WINDOW_ARRANGE:
            for (QMdiSubWindow* window : mdi_->subWindowList()) {
                if (window->isMinimized()) {
                    window->showMinimized();
                }
            }
            break;
        case ID_NEXT_PANE:
            mdi_->activateNextSubWindow();
            break;
        case ID_PREV_PANE:
            mdi_->activatePreviousSubWindow();
            break;
        case ID_VIEW_TOOLBAR:
            toolBar_->setVisible(!toolBar_->isVisible());
            break;
        case ID_VIEW_STATUS_BAR:
            statusBar()->setVisible(!statusBar()->isVisible());
            break;
        case ID_OSC_START:
            ToggleAcquisition(false);
            break;
        case ID_REC_START:
            ToggleAcquisition(true);
            break;
        case ID_REGISTERED_PARAMS:
            ShowRegisteredParams();
            break;
        case ID_AUTOSCALE:
        case ID_ALIGN_SCALES:
        case ID_LINK_SCALES:
        case ID_FIX_X_ZERO:
        case ID_FIX_Y_ZERO:
        case ID_GRID:
            if (view != nullptr) {
                view->RunScaleCommand(id);
            }
            break;
        default:
            if (auto found = registered_.find(id); found != registered_.end()) {
                if (QAction* action = actions_.value(id);
                    action == nullptr || found->second.State().Enabled) {
                    found->second.Run();
                }
            }
            break;
    }
    UpdateCommandStates();
}

void CMainFrame::RegisterCommand(int id, std::function<void()> run,
                                 std::function<CommandState()> state) {
    registered_[id] = RegisteredCommand{std::move(run), std::move(state)};
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
    GuiDocument* document = ActiveDocument();
    CZefraKrgView* view = ActiveView();
    const uint32_t acquiring = settingsRecord_.AcquiringDocId.load();
    auto apply = [this](int id, CommandState state) {
        QAction* action = actions_[id];
        if (action->isEnabled() != state.Enabled) {
            action->setEnabled(state.Enabled);
        }
        if (action->isCheckable() && action->isChecked() != state.Checked) {
            action->setChecked(state.Checked);
        }
    };
    auto docState = [&](DocCommand command) {
        return document != nullptr ? document->Doc->QueryCommand(command, acquiring)
                                   : CommandState{};
    };
    apply(ID_FILE_SAVE, docState(DocCommand::Save));
    apply(ID_FILE_SAVE_AS, docState(DocCommand::SaveAs));
    apply(ID_OSC_START, docState(DocCommand::OscilloscopeStart));
    apply(ID_REC_START, docState(DocCommand::RecordingStart));
    apply(ID_REGISTERED_PARAMS, docState(DocCommand::RegisteredParams));
    for (int id :
         {ID_AUTOSCALE, ID_ALIGN_SCALES, ID_LINK_SCALES, ID_FIX_X_ZERO, ID_FIX_Y_ZERO, ID_GRID}) {
        apply(id, view != nullptr ? view->ScaleCommandState(id) : CommandState{});
    }
    const CommandState withDocument{document != nullptr, false};
    for (int id : {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE,
                   ID_NEXT_PANE, ID_PREV_PANE}) {
        apply(id, withDocument);
    }
    for (const auto& [id, command] : registered_) {
        if (actions_.contains(id)) {
            apply(id, command.State());
        }
    }
    apply(ID_VIEW_TOOLBAR, {true, toolBar_ != nullptr && !toolBar_->isHidden()});
    apply(ID_VIEW_STATUS_BAR, {true, !statusBar()->isHidden()});
    for (const auto& open : documents_) {
        UpdateTitles(*open);
    }
}

void CMainFrame::ToggleAcquisition(bool recording) {
    GuiDocument* document = ActiveDocument();
    if (document == nullptr) {
        return;
    }
    const DocCommand command =
        recording ? DocCommand::RecordingStart : DocCommand::OscilloscopeStart;
    if (!document->Doc->QueryCommand(command, settingsRecord_.AcquiringDocId).Enabled) {
        return;
    }
    if (settingsRecord_.AcquiringDocId.load() == 0) {
        // No worker reads the gains now.
        TakePendingGains();
    }
    if (recording) {
        runner_->ToggleRecording(*document->Doc);
    } else {
        runner_->ToggleOscilloscope(*document->Doc);
    }
    if (paramsFrame_ != nullptr) {
        paramsFrame_->RunningChanged();
    }
}

void CMainFrame::ShowRegisteredParams() {
    GuiDocument* document = ActiveDocument();
    if (document == nullptr ||
        !document->Doc->QueryCommand(DocCommand::RegisteredParams, settingsRecord_.AcquiringDocId)
             .Enabled) {
        return;
    }
    prompts_->ShowRegisteredParams(this, RegisteredParamsRequestOf(*document->Doc));
}

void CMainFrame::HandleAcquisitionMessage(uint32_t message, uint32_t wParam) {
    switch (message) {
        case WM_DOC_UPDATE:
            if (GuiDocument* document = FindDocument(settingsRecord_.AcquiringDocId.load())) {
                for (CZefraKrgView* view : document->Views) {
                    view->OnUpdate(wParam);
                }
                UpdateTitles(*document);
            }
            break;
        case WM_ACQ_ENDED:
            // The worker has read the gains for the last time.
            TakePendingGains();
            if (const uint32_t acquiring = settingsRecord_.AcquiringDocId.load();
                paramsFrame_ != nullptr && acquiring == settingsRecord_.ShownParamsDocId.load()) {
                if (GuiDocument* document = FindDocument(acquiring)) {
                    paramsFrame_->Rebind(document->Doc.get(), wParam == 1 ? 1 : 0);
                }
            }
            // The progress of a finished acquisition no longer applies.
            acquisitionStatus_.clear();
            idleLabel_->setText(Utf8(Tr(texts::IdlePrompt)));
            UpdateCommandStates();
            break;
        case WM_ACQ_STATUS: {
            acquisitionStatus_ = QString::fromUtf8(
                StatusText(wParam).data(), static_cast<qsizetype>(StatusText(wParam).size()));
            idleLabel_->setText(acquisitionStatus_.isEmpty() ? Utf8(Tr(texts::IdlePrompt))
                                                             : acquisitionStatus_);
            if (paramsFrame_ != nullptr) {
                paramsFrame_->SetStatus(wParam);
            }
            break;
        }
        default:
            break;
    }
}

void CMainFrame::ShowDocumentParams(uint32_t docId) {
    if (settingsRecord_.ShownParamsDocId.load() == docId) {
        return;
    }
    settingsRecord_.ShownParamsDocId = docId;
    if (GuiDocument* document = FindDocument(docId); document != nullptr && paramsFrame_) {
        paramsFrame_->Bind(document->Doc.get());
    }
}

void CMainFrame::ShowProperties() {
    CMyPropertySheet sheet(PropertiesValues::From(settingsRecord_), this);
    if (sheet.exec() == QDialog::Accepted) {
        ApplyProperties(sheet.Values());
    }
}

void CMainFrame::ApplyProperties(const PropertiesValues& values) {
    SettingsRecord stored;
    values.ApplyTo(stored);
    stored.Save(store_);
    // A running acquisition reads the gains before every shot, so they change for the card only
    // once it has ended; everything else applies at once.
    PropertiesValues now = values;
    if (runner_->Busy() || settingsRecord_.AcquiringDocId.load() != 0) {
        pendingGains_ = values.ChannelGain;
        now.ChannelGain = settingsRecord_.ChannelGain;
    }
    now.ApplyTo(settingsRecord_);
    for (const auto& document : documents_) {
        for (CZefraKrgView* view : document->Views) {
            view->OnUpdate(HintColorsChanged);
        }
    }
}

void CMainFrame::TakePendingGains() {
    if (pendingGains_) {
        settingsRecord_.ChannelGain = *pendingGains_;
        pendingGains_.reset();
    }
    // The simulated card cannot see the gain jumpers; it is told the stored gains instead.
    if (auto* simulated = dynamic_cast<SimulatedCard*>(io_.get())) {
        for (int input = 0; input < 8; ++input) {
            simulated->SetInputGain(input, settingsRecord_.HighGain(input));
        }
    }
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (window != nullptr) {
        auto* frame = qobject_cast<CChildFrame*>(window);
        if (frame != nullptr && frame->View() != nullptr) {
            ShowDocumentParams(frame->View()->Document().Doc->DocId);
        }
    }
    UpdateMainTitle();
    UpdateCommandStates();
}

void CMainFrame::ShowHelp() {
    const QString program =
        programPath_.isEmpty() ? QCoreApplication::applicationFilePath() : programPath_;
    HelpLoader(program, helpFolder_, helpOpener_).ShowHelp([frame = QPointer(this)](bool opened) {
        if (!opened && frame) {
            frame->prompts_->ShowMessage(
                frame, UserMessage{Tr(texts::HelpErrorTitle), Tr(texts::HelpErrorText),
                                   MessageIcon::Exclamation});
        }
    });
}

void CMainFrame::ShowAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

}  // namespace kresograf
