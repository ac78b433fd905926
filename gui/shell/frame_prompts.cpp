#include "gui/shell/frame_prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "base/frame_link.h"
#include "base/translation.h"
#include "document/ascii_export.h"
#include "document/data_export.h"
#include "gui/document/registered_params_dlg.h"
#include "gui/widgets/file_dialog.h"
#include "shell/shell_texts.h"

namespace kresograf {

void DialogPrompts::ShowMessage(QWidget* owner, const UserMessage& message) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    switch (message.Icon) {
        case MessageIcon::Stop:
            icon = QMessageBox::Critical;
            break;
        case MessageIcon::Exclamation:
            icon = QMessageBox::Warning;
            break;
        case MessageIcon::Information:
            icon = QMessageBox::Information;
            break;
    }
    QMessageBox box(icon, QString::fromStdString(message.Title),
                    QString::fromStdString(message.Text), QMessageBox::NoButton, owner);
    box.addButton(QString::fromUtf8(Tr(texts::Ok)), QMessageBox::AcceptRole);
    box.exec();
}

FramePrompts::SaveAnswer DialogPrompts::AskSaveChanges(QWidget* owner,
                                                       const QString& documentTitle) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(Tr(texts::ApplicationTitle)),
                    QString::fromUtf8(Tr(texts::SaveChangesText)).arg(documentTitle),
                    QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(QString::fromUtf8(Tr(texts::Yes)), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(Tr(texts::No)), QMessageBox::NoRole);
    QPushButton* cancel =
        box.addButton(QString::fromUtf8(Tr(texts::Cancel)), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) {
        return SaveAnswer::Save;
    }
    return box.clickedButton() == no ? SaveAnswer::Discard : SaveAnswer::Cancel;
}

FramePrompts::InterruptedAnswer DialogPrompts::AskOpenInterrupted(QWidget* owner,
                                                                  const QString& path) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(Tr(texts::ApplicationTitle)),
                    QString::fromUtf8(Tr(texts::InterruptedRecordingText)).arg(path),
                    QMessageBox::NoButton, owner);
    box.setObjectName("InterruptedRecordingQuestion");
    QPushButton* yes = box.addButton(QString::fromUtf8(Tr(texts::Yes)), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8(Tr(texts::No)), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    // Closing the box decides nothing: the file stays for the next start.
    if (box.clickedButton() == yes) {
        return InterruptedAnswer::Open;
    }
    return box.clickedButton() == no ? InterruptedAnswer::Remove : InterruptedAnswer::Keep;
}

QString DialogPrompts::AskOpenFileName(QWidget* owner) {
    return QFileDialog::getOpenFileName(owner, QString::fromUtf8(Tr(texts::OpenDialogTitle)), {},
                                        QString::fromUtf8(Tr(texts::FileFilter)));
}

QString DialogPrompts::AskSaveFileName(QWidget* owner, const QString& suggested) {
    QFileDialog dialog(owner, QString::fromUtf8(Tr(texts::SaveDialogTitle)), suggested,
                       QString::fromUtf8(Tr(texts::FileFilter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromUtf8(texts::FileExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

std::unique_ptr<FileDialog> ExportFileDialog(QWidget* owner, const QString& suggested) {
    QStringList filters;
    for (const ExportFilter& filter : ExportFilters()) {
        filters << QString::fromUtf8(Tr(filter.Text));
    }
    auto dialog = std::make_unique<FileDialog>(owner, QString::fromUtf8(Tr(texts::SaveDialogTitle)),
                                               filters, QFileDialog::AcceptSave,
                                               QString::fromUtf8(ExportDefaultSuffix), suggested);
    // The extension of the chosen name decides the format; a name typed without one gets the
    // chosen filter's.
    FileDialog* raw = dialog.get();
    QObject::connect(raw, &QFileDialog::filterSelected, raw, [raw](const QString& chosen) {
        const auto at = static_cast<std::size_t>(raw->nameFilters().indexOf(chosen));
        if (at < ExportFilters().size()) {
            raw->setDefaultSuffix(QString::fromUtf8(ExportFilters()[at].Suffix));
        }
    });
    return dialog;
}

QString FramePrompts::AskExportFileName(QWidget* owner, const QString& suggested) {
    return ExportFileDialog(owner, suggested)->Run();
}

void DialogPrompts::ShowRegisteredParams(QWidget* owner, const RegisteredParamsRequest& request) {
    CRegisteredParamsDlg dialog(request, owner);
    dialog.exec();
}

}  // namespace kresograf
