#include "gui/document/export_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/settings_record.h"
#include "base/translation.h"
#include "document/ascii_export.h"
#include "gui/shell/app_frame.h"
#include "gui/shell/command_table.h"
#include "gui/shell/frame_prompts.h"
#include "gui/shell/gui_document.h"
#include "gui/widgets/channel_grid.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

CExportAsciiDlg::CExportAsciiDlg(const CZefraKrgDoc& doc, std::string path, FramePrompts& prompts,
                                 QWidget* parent, std::string sourceName)
    : QDialog(parent),
      doc_(doc),
      path_(std::move(path)),
      sourceName_(std::move(sourceName)),
      format_(ExportFormatOf(path_)),
      prompts_(prompts) {
    setObjectName("IDD_EXPORT_ASCII");
    setWindowTitle(Utf8(Tr(ExportDialogTitleOf(format_))));
    writeTime_ = new QCheckBox(Utf8(Tr(ExportTimeCheckText)));
    writeTime_->setObjectName("IDC_1041");
    writeTime_->setLayoutDirection(Qt::RightToLeft);
    writeTime_->setChecked(format_ == ExportFormat::Hdf5);
    writeTime_->setEnabled(format_ != ExportFormat::Hdf5);
    grid_ = new CChannelGrid;
    grid_->setObjectName("IDC_1042");
    grid_->SetRowHeight(20);
    grid_->SetReserveScrollBar(true);
    grid_->InsertColumn(0, Utf8(Tr(ExportChannelColumn)), 70);
    grid_->InsertColumn(1, Utf8(Tr(ExportChoiceColumn)), -1);
    const QStringList noYes = {Utf8(Tr(ExportChoiceNo)), Utf8(Tr(ExportChoiceYes))};
    for (const ExportRow& row : ExportRows(doc.ChannelPresent[doc.CurrentSet.load()])) {
        grid_->AppendRow(
            {GridCell::MakeText(QString::fromStdString(row.Text), static_cast<int>(row.Channel)),
             GridCell::MakeToggle(noYes, 0)});
    }
    grid_->setMinimumSize(220, 20 + 5 * 20 + 4);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(Utf8(Tr(texts::Ok)), QDialogButtonBox::AcceptRole);
    ok->setObjectName("IDOK");
    ok->setDefault(true);
    buttons->addButton(Utf8(Tr(texts::Cancel)), QDialogButtonBox::RejectRole)
        ->setObjectName("IDCANCEL");
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportAsciiDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExportAsciiDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(writeTime_, 0, Qt::AlignAbsolute | Qt::AlignLeft);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttons);
}

void CExportAsciiDlg::accept() {
    std::array<bool, 8> channels{};
    for (int row = 0; row < grid_->RowCount(); ++row) {
        if (grid_->Value(row, 1) == 1) {
            channels[static_cast<std::size_t>(grid_->Value(row, 0)) & 7] = true;
        }
    }
    // Nothing chosen is refused before any file is touched; a failed or cancelled write leaves
    // the file under that name as it was. Either way the dialog stays for another try or Cancel.
    const ExportRequest request{format_, writeTime_->isChecked(), channels, sourceName_};
    const std::string label =
        FillText(Tr(ExportProgressLabel), {path_.substr(path_.find_last_of('/') + 1)});
    QProgressDialog progress(Utf8(label.c_str()), Utf8(Tr(texts::Cancel)), 0, 1000, this);
    progress.setWindowTitle(Utf8(Tr(ExportProgressTitle)));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // The clock that decides whether the export is long enough to show the dialog starts here.
    progress.setValue(0);
    const FileResult result =
        ExportData(doc_, path_, request, [&progress](uint64_t done, uint64_t total) {
            // Only a step of the bar is worth a redraw and a look at the window's events.
            const auto value = static_cast<int>(total == 0 ? 1000 : done * 1000 / total);
            if (value != progress.value()) {
                progress.setValue(value);
            }
            return !progress.wasCanceled();
        });
    progress.close();
    if (result.Code == FileCancelled) {
        return;
    }
    if (!result.Ok()) {
        if (result.Message) {
            prompts_.ShowMessage(this, *result.Message);
        }
        return;
    }
    QDialog::accept();
}

namespace {

void RunExportAscii(AppFrame& frame) {
    GuiDocument* document = frame.ActiveDocument();
    if (document == nullptr) {
        return;
    }
    const CZefraKrgDoc& doc = *document->Doc;
    if (auto message = ExportPrecheck(doc)) {
        frame.ShowMessage(*message);
        return;
    }
    // Beside the document's own file, under its name.
    const QFileInfo file(document->Path);
    const QString base =
        document->Path.isEmpty() ? document->Title : file.dir().filePath(file.completeBaseName());
    const QString path = frame.Prompts().AskExportFileName(
        &frame.Window(), base + QStringLiteral(".") + Utf8(ExportDefaultSuffix));
    if (path.isEmpty()) {
        return;
    }
    const std::string target = QFile::encodeName(path).toStdString();
    if (auto message = ExportTargetCheck(target)) {
        frame.ShowMessage(*message);
        return;
    }
    const QString sourceName = document->Path.isEmpty() ? document->Title : file.fileName();
    CExportAsciiDlg dialog(doc, target, frame.Prompts(), &frame.Window(), sourceName.toStdString());
    dialog.exec();
}

}  // namespace

void RegisterExportCommands(AppFrame& frame) {
    frame.RegisterCommand(
        ID_EXPORT_ASCII, [&frame] { RunExportAscii(frame); },
        frame.DocumentRule(DocCommand::ExportAscii));
}

}  // namespace kresograf
