#include "gui/shell/document_commands.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QUrl>

#include "base/frame_link.h"
#include "base/translation.h"
#include "document/kgd_file.h"
#include "document/recordings_folder.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/child_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
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

}  // namespace

DocumentCommands::DocumentCommands(AppFrame& frame, QSettings& settings, ViewCommands& views)
    : frame_(frame), views_(views), recent_(settings) {
    auto withDocument = [this](auto save) {
        return [this, save] {
            if (GuiDocument* document = frame_.ActiveDocument()) {
                (this->*save)(*document);
            }
        };
    };
    const auto always = [] { return CommandState{true, false}; };
    frame_.RegisterCommand(
        ID_FILE_NEW, [this] { NewDocument(); }, always);
    frame_.RegisterCommand(
        ID_FILE_OPEN,
        [this] {
            const QString path = frame_.Prompts().AskOpenFileName(&frame_.Window());
            if (!path.isEmpty()) {
                OpenDocumentFile(path);
            }
        },
        always);
    frame_.RegisterCommand(ID_FILE_SAVE, withDocument(&DocumentCommands::SaveDocument),
                           frame_.DocumentRule(DocCommand::Save));
    frame_.RegisterCommand(ID_FILE_SAVE_AS, withDocument(&DocumentCommands::SaveDocumentAs),
                           frame_.DocumentRule(DocCommand::SaveAs));
    RebuildRecentMenu();
}

DocumentCommands::~DocumentCommands() = default;

GuiDocument& DocumentCommands::AddDocument(std::unique_ptr<GuiDocument> document) {
    documents_.push_back(std::move(document));
    return *documents_.back();
}

GuiDocument* DocumentCommands::NewDocument() {
    auto document = std::make_unique<GuiDocument>();
    document->Title = Utf8(Tr(texts::DocumentName)) + QString::number(++untitledCount_);
    GuiDocument& added = AddDocument(std::move(document));
    NewView(added);
    return &added;
}

GuiDocument* DocumentCommands::OpenDocumentFile(const QString& path) {
    const QString canonical = CanonicalPath(path);
    for (const auto& document : documents_) {
        if (!document->Path.isEmpty() && CanonicalPath(document->Path) == canonical) {
            if (!document->Views.isEmpty()) {
                frame_.MdiArea()->setActiveSubWindow(FrameOf(document->Views.first()));
            }
            recent_.Add(canonical);
            RebuildRecentMenu();
            return document.get();
        }
    }
    auto document = std::make_unique<GuiDocument>();
    const FileResult result = kresograf::OpenDocument(*document->Doc, FsPath(path));
    if (!result.Ok()) {
        frame_.ShowMessage(result.Message.value_or(UserMessage{
            Tr(texts::OpenFailedTitle), Utf8(Tr(texts::FileMissingText)).arg(path).toStdString(),
            MessageIcon::Exclamation}));
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

void DocumentCommands::OfferInterruptedRecordings(const QStringList& folders) {
    for (const QString& folder : folders) {
        for (const std::string& found : FindInterruptedRecordings(FsPath(folder))) {
            const QString path = QFile::decodeName(found.c_str());
            const auto answer = frame_.Prompts().AskOpenInterrupted(&frame_.Window(), path);
            if (answer == FramePrompts::InterruptedAnswer::Remove) {
                if (!RemoveInterruptedRecording(found)) {
                    frame_.ShowMessage(
                        UserMessage{Tr(texts::ApplicationTitle),
                                    Utf8(Tr(texts::RemoveFailedText)).arg(path).toStdString(),
                                    MessageIcon::Exclamation});
                }
                continue;
            }
            if (answer != FramePrompts::InterruptedAnswer::Open) {
                continue;
            }
            auto document = std::make_unique<GuiDocument>();
            const FileResult result = OpenInterruptedRecording(*document->Doc, found);
            if (!result.Ok()) {
                // The file stays: the next start offers it again.
                frame_.ShowMessage(result.Message.value_or(
                    UserMessage{Tr(texts::OpenFailedTitle),
                                Utf8(Tr(texts::FileMissingText)).arg(path).toStdString(),
                                MessageIcon::Exclamation}));
                continue;
            }
            // Never saved by the user: no path, so "Zapisz" asks where it goes.
            document->Title = QFileInfo(path).completeBaseName();
            NewView(AddDocument(std::move(document)));
        }
    }
}

bool DocumentCommands::SaveDocument(GuiDocument& document) {
    if (document.Path.isEmpty()) {
        return SaveDocumentAs(document);
    }
    if (!document.Doc->QueryCommand(DocCommand::Save, frame_.Settings().AcquiringDocId).Enabled) {
        return false;
    }
    return WriteDocument(document, document.Path);
}

bool DocumentCommands::SaveDocumentAs(GuiDocument& document) {
    if (!document.Doc->QueryCommand(DocCommand::SaveAs, frame_.Settings().AcquiringDocId).Enabled) {
        return false;
    }
    QString suggested = document.Path;
    if (suggested.isEmpty()) {
        suggested = document.Title + QStringLiteral(".") + Utf8(texts::FileExtension);
    }
    QString path = frame_.Prompts().AskSaveFileName(&frame_.Window(), suggested);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".") + Utf8(texts::FileExtension);
    }
    return WriteDocument(document, path);
}

bool DocumentCommands::WriteDocument(GuiDocument& document, const QString& path) {
    // A recording moved by a rename tells no progress; a copy (another file system) or a
    // document written out does, and shows it with "Anuluj" once it takes a while.
    std::unique_ptr<QProgressDialog> progress;
    SaveOptions options;
    options.ForceCopy = ForceCopyOnSave;
    options.Progress = [&](uint64_t done, uint64_t total) {
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(
                Utf8(Tr(texts::SavingText)).arg(QFileInfo(path).fileName()),
                Utf8(Tr(texts::Cancel)), 0, 1000, &frame_.Window());
            progress->setObjectName("SaveProgress");
            progress->setWindowTitle(Utf8(Tr(texts::ApplicationTitle)));
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            progress->setMinimumDuration(SaveProgressDelayMs);
            progress->setMinimumWidth(360);
            progress->setValue(0);
        }
        // A modal progress dialog handles the events (its "Anuluj") as its value changes.
        progress->setValue(total == 0 ? 1000 : static_cast<int>(done * 1000 / total));
        if (SaveProgressShown) {
            SaveProgressShown(*progress);
        }
        return !progress->wasCanceled();
    };
    const FileResult result = kresograf::SaveDocument(*document.Doc, FsPath(path), options);
    progress.reset();
    if (!result.Ok()) {
        if (result.Message) {
            frame_.ShowMessage(*result.Message);
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

CZefraKrgView* DocumentCommands::NewView(GuiDocument& document) {
    auto* view = new CZefraKrgView(document, frame_.Settings());
    auto* frame = new CChildFrame(*this, view, frame_.Window().windowIcon());
    views_.AttachView(view, frame);
    QMdiArea& area = *frame_.MdiArea();
    area.addSubWindow(frame);
    document.Views.append(view);
    UpdateTitles(document);
    // Cascading from the top left by one title bar per window, starting over where the next
    // step would leave the visible area.
    const QSize size = frame->sizeHint();
    const QSize room = area.viewport()->size() - size;
    const int step = CChildFrame::CascadeStep(*frame);
    const int steps = std::max(1, std::min(room.width(), room.height()) / step + 1);
    const int offset = static_cast<int>((area.subWindowList().size() - 1) % steps) * step;
    frame->setGeometry(offset, offset, size.width(), size.height());
    frame->show();
    view->OnUpdate(HintInitial);
    area.setActiveSubWindow(frame);
    frame_.UpdateCommandStates();
    return view;
}

CChildFrame* DocumentCommands::FrameOf(CZefraKrgView* view) const {
    for (QMdiSubWindow* window : frame_.MdiArea()->subWindowList()) {
        // A window being closed is no longer a plot frame while its base class goes.
        auto* frame = qobject_cast<CChildFrame*>(window);
        if (frame != nullptr && frame->View() == view) {
            return frame;
        }
    }
    return nullptr;
}

void DocumentCommands::ReportFileErrors() {
    for (const auto& document : documents_) {
        if (document->FileErrorTold) {
            continue;
        }
        if (auto lost = document->Doc->CheckSamples()) {
            // Told before the box runs: the box's own event loop comes back here.
            document->FileErrorTold = true;
            frame_.ShowMessage(*lost);
        }
    }
}

void DocumentCommands::UpdateTitles() {
    for (const auto& document : documents_) {
        UpdateTitles(*document);
    }
}

void DocumentCommands::UpdateTitles(GuiDocument& document) {
    // The captions name the document and never carry a marker; the windows still report an
    // unsaved document as modified (the windowModified flag, set without the caption marker).
    const bool modified = document.Doc->Modified.load();
    const auto count = static_cast<int>(document.Views.size());
    for (int i = 0; i < count; ++i) {
        if (CChildFrame* frame = FrameOf(document.Views[i])) {
            const QString title =
                QString::fromStdString(PlotWindowTitle(document.Title.toStdString(), i, count));
            if (frame->windowTitle() != title) {
                frame->setWindowTitle(title);
            }
            frame->setAttribute(Qt::WA_WindowModified, modified);
        }
    }
    UpdateMainTitle();
}

void DocumentCommands::UpdateMainTitle() {
    QMdiSubWindow* active = frame_.MdiArea()->activeSubWindow();
    const QString title = QString::fromStdString(
        MainWindowTitle(active != nullptr ? active->windowTitle().toStdString() : std::string(),
                        active != nullptr && active->isMaximized()));
    QMainWindow& window = frame_.Window();
    if (window.windowTitle() != title) {
        window.setWindowTitle(title);
    }
    GuiDocument* document = frame_.ActiveDocument();
    window.setAttribute(Qt::WA_WindowModified,
                        document != nullptr && document->Doc->Modified.load());
}

bool DocumentCommands::AskToSave(GuiDocument& document) {
    if (!document.Doc->Modified.load()) {
        return true;
    }
    switch (frame_.Prompts().AskSaveChanges(&frame_.Window(), document.Title)) {
        case FramePrompts::SaveAnswer::Save:
            return SaveDocument(document);
        case FramePrompts::SaveAnswer::Discard:
            return true;
        case FramePrompts::SaveAnswer::Cancel:
            return false;
    }
    return false;
}

bool DocumentCommands::CloseAll() {
    const uint32_t acquiring = frame_.Settings().AcquiringDocId.load();
    for (const auto& document : documents_) {
        if (auto refusal = document->Doc->CloseCheck(acquiring)) {
            frame_.ShowMessage(*refusal);
            return false;
        }
    }
    for (const auto& document : documents_) {
        if (!AskToSave(*document)) {
            return false;
        }
    }
    closing_ = true;
    return true;
}

void DocumentCommands::DestroyAll() {
    // The views refer to their documents: they go first.
    for (QMdiSubWindow* window : frame_.MdiArea()->subWindowList()) {
        delete window;
    }
    documents_.clear();
}

bool DocumentCommands::CanCloseFrame(CChildFrame* frame) {
    if (closing_) {
        return true;
    }
    GuiDocument& document = frame->View()->Document();
    if (auto refusal = document.Doc->CloseCheck(frame_.Settings().AcquiringDocId)) {
        frame_.ShowMessage(*refusal);
        return false;
    }
    return document.Views.size() > 1 || AskToSave(document);
}

void DocumentCommands::FrameClosing(CChildFrame* frame) {
    CZefraKrgView* view = frame->View();
    GuiDocument& document = view->Document();
    document.Views.removeAll(view);
    if (!document.Views.isEmpty()) {
        UpdateTitles(document);
        return;
    }
    if (DocumentClosing) {
        DocumentClosing(document, documents_.size() == 1);
    }
    // The view is deleted with its frame a little later; its document must outlive it.
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [&](const auto& d) { return d.get() == &document; });
    if (it != documents_.end()) {
        std::shared_ptr<GuiDocument> holder(std::move(*it));
        documents_.erase(it);
        connect(view, &QObject::destroyed, this, [holder] {});
    }
    frame_.UpdateCommandStates();
}

void DocumentCommands::RebuildRecentMenu() {
    QMenu* menu = frame_.Menu(QStringLiteral("MenuRecentFiles"));
    menu->clear();
    const QStringList& files = recent_.Files();
    for (int i = 0; i < files.size(); ++i) {
        QAction* item = menu->addAction(recent_.MenuText(i));
        item->setObjectName(CommandObjectName(ID_FILE_MRU_FILE1 + i));
        item->setData(ID_FILE_MRU_FILE1 + i);
        item->setStatusTip(Utf8(Tr(texts::RecentFilePrompt)) + QStringLiteral(": ") + files[i]);
        const QString path = files[i];
        connect(item, &QAction::triggered, this, [this, path] { OpenDocumentFile(path); });
    }
    menu->setEnabled(!files.isEmpty());
}

QStringList DocumentCommands::DroppedDocuments(const QMimeData* data) {
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

}  // namespace kresograf
