#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "gui/shell/gui_document.h"
#include "gui/shell/recent_file_list.h"

class QMimeData;
class QProgressDialog;
class QSettings;

namespace kresograf {

class AppFrame;
class CChildFrame;
class CZefraKrgView;
class ViewCommands;

// The documents and their files: "&Nowy", "&Otwórz...", "&Zapisz", "Zapisz &jako...", the
// recent-file list, the plot windows of each document with their captions, and the questions
// asked before a window or the program closes.
class DocumentCommands : public QObject {
    Q_OBJECT

  public:
    DocumentCommands(AppFrame& frame, QSettings& settings, ViewCommands& views);
    ~DocumentCommands() override;

    // A new empty document with one window.
    GuiDocument* NewDocument();
    // Opens a .kgd file (or activates it when it is already open); null on failure, after the
    // user was told why.
    GuiDocument* OpenDocumentFile(const QString& path);
    // The framework-like save commands; false when nothing was saved.
    bool SaveDocument(GuiDocument& document);
    bool SaveDocumentAs(GuiDocument& document);
    // Asks about each recording a program left unsaved in these folders when it ended
    // unexpectedly: opened as a modified document that still owns its file, or removed.
    void OfferInterruptedRecordings(const QStringList& folders);
    // Another window of a document ("&Nowe okno").
    CZefraKrgView* NewView(GuiDocument& document);

    const std::vector<std::unique_ptr<GuiDocument>>& Documents() const { return documents_; }
    RecentFileList& Recent() { return recent_; }

    // The program is asked to close: false when a document refuses (it acquires) or the user
    // cancels a save question. After true, windows close without asking again.
    bool CloseAll();
    // Before the views go: the documents are dropped once every window is gone.
    void DestroyAll();

    // A plot window asks whether it may close; the last window of a modified document asks the
    // user to save it.
    bool CanCloseFrame(CChildFrame* frame);
    void FrameClosing(CChildFrame* frame);
    // Tells the user, once per document, that the file its shown set is read from went away
    // under the program (what the views read since is not the data).
    void ReportFileErrors();
    // The captions of every window and the main window's, as the documents stand now.
    void UpdateTitles();
    void UpdateMainTitle();

    // Called when a document is about to go, with whether it is the last one.
    std::function<void(GuiDocument& document, bool last)> DocumentClosing;

    // A save that takes longer than this shows its progress with "Anuluj".
    int SaveProgressDelayMs = 400;
    // Test seams: a recording is copied even where a rename would do; the progress dialog after
    // each step.
    bool ForceCopyOnSave = false;
    std::function<void(QProgressDialog& dialog)> SaveProgressShown;

    // The local .kgd files among dropped data.
    static QStringList DroppedDocuments(const QMimeData* data);

  private:
    GuiDocument& AddDocument(std::unique_ptr<GuiDocument> document);
    bool AskToSave(GuiDocument& document);
    bool WriteDocument(GuiDocument& document, const QString& path);
    void UpdateTitles(GuiDocument& document);
    CChildFrame* FrameOf(CZefraKrgView* view) const;
    void RebuildRecentMenu();

    AppFrame& frame_;
    ViewCommands& views_;
    RecentFileList recent_;
    std::vector<std::unique_ptr<GuiDocument>> documents_;
    int untitledCount_ = 0;
    bool closing_ = false;
};

}  // namespace kresograf
