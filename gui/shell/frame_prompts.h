#pragma once

#include <QString>
#include <memory>

#include "base/user_message.h"

class QWidget;

namespace kresograf {

class FileDialog;
struct RegisteredParamsRequest;

// What the main frame asks of the user: message boxes, the save-changes question, file names
// and the registered-parameters dialog. The program shows real dialogs; tests answer in code.
class FramePrompts {
  public:
    enum class SaveAnswer { Save, Discard, Cancel };
    // Open a recording left unsaved, remove it, or leave it for the next start (box closed).
    enum class InterruptedAnswer { Open, Remove, Keep };

    virtual ~FramePrompts() = default;
    virtual void ShowMessage(QWidget* owner, const UserMessage& message) = 0;
    virtual SaveAnswer AskSaveChanges(QWidget* owner, const QString& documentTitle) = 0;
    // Empty when the user cancelled.
    virtual QString AskOpenFileName(QWidget* owner) = 0;
    virtual QString AskSaveFileName(QWidget* owner, const QString& suggested) = 0;
    virtual void ShowRegisteredParams(QWidget* owner, const RegisteredParamsRequest& request) = 0;
    // What to do with a recording left unsaved by a program that ended unexpectedly; one that
    // cannot ask leaves it for the next start.
    virtual InterruptedAnswer AskOpenInterrupted(QWidget*, const QString&) {
        return InterruptedAnswer::Keep;
    }
    // The file an export goes to ("*.dat", "*.csv", "*.h5"); empty when the user cancelled.
    virtual QString AskExportFileName(QWidget* owner, const QString& suggested);
};

// The save dialog of an ASCII export ("*.dat", then all files), offering the suggested name.
std::unique_ptr<FileDialog> ExportFileDialog(QWidget* owner, const QString& suggested);

// The real dialogs.
class DialogPrompts : public FramePrompts {
  public:
    void ShowMessage(QWidget* owner, const UserMessage& message) override;
    SaveAnswer AskSaveChanges(QWidget* owner, const QString& documentTitle) override;
    QString AskOpenFileName(QWidget* owner) override;
    QString AskSaveFileName(QWidget* owner, const QString& suggested) override;
    void ShowRegisteredParams(QWidget* owner, const RegisteredParamsRequest& request) override;
    InterruptedAnswer AskOpenInterrupted(QWidget* owner, const QString& path) override;
};

}  // namespace kresograf
