#include "gui/view/plot_print.h"

#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <cstdio>

#include "base/frame_link.h"
#include "base/translation.h"
#include "document/kgd_file.h"
#include "gui/view/picture_painter.h"
#include "shell/shell_texts.h"
#include "view/plot_view.h"

namespace kresograf {
namespace {

// What the print job says when it cannot start.
constexpr const char* PrintStartFailed = N_("Nie mogę rozpocząć zadania drukowania.");

}  // namespace

QFont PrintFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void PaintPrintedPage(PlotView& plot, QPainter& painter) {
    QPaintDevice* device = painter.device();
    const QFont font(PrintFont(), device);
    const Picture picture =
        plot.BuildPicture(device->width(), device->height(), MakeTextMeasure(font, device), false);
    PaintPicture(painter, picture, font);
}

bool PrintPlot(PlotView& plot, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    PaintPrintedPage(plot, painter);
    return painter.end();
}

PlotPrinting::PlotPrinting() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PlotPrinting::~PlotPrinting() = default;

void PlotPrinting::Failed(QWidget* owner) {
    QMessageBox::warning(owner, QString::fromUtf8(Tr(texts::MainTitle)),
                         QString::fromUtf8(Tr(PrintStartFailed)));
}

void PlotPrinting::Print(PlotView& plot, QWidget* owner) {
    // One page only.
    printer_->setFromTo(1, 1);
    QPrintDialog dialog(printer_.get(), owner);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!PrintPlot(plot, *printer_)) {
        Failed(owner);
    }
}

void PlotPrinting::PrintDirect(PlotView& plot, QWidget* owner) {
    if (!PrintPlot(plot, *printer_)) {
        Failed(owner);
    }
}

void PlotPrinting::Preview(PlotView& plot, QWidget* owner) {
    QPrintPreviewDialog dialog(printer_.get(), owner);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&plot](QPrinter* printer) {
                         QPainter painter(printer);
                         PaintPrintedPage(plot, painter);
                     });
    dialog.exec();
}

void PlotPrinting::PageSetup(QWidget* owner) {
    QPageSetupDialog dialog(printer_.get(), owner);
    dialog.exec();
}

bool PrintDocumentFile(const QString& input, const QString& output, QPageSize::PageSizeId paper,
                       const SettingsRecord& settings, QString& error) {
    CZefraKrgDoc doc;
    const FileResult result = OpenDocument(doc, QFile::encodeName(input).toStdString());
    if (!result.Ok()) {
        error = result.Message ? QString::fromStdString(result.Message->Text)
                               : QString::fromUtf8(Tr(texts::FileMissingText)).arg(input);
        return false;
    }
    PlotView plot(doc, &settings);
    plot.OnUpdate(HintInitial);

    // Written beside the target and renamed over it only when complete.
    const QString partial = output + QStringLiteral(".part");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(partial);
    printer.setPageSize(QPageSize(paper));
    printer.setDocName(QFileInfo(input).fileName());
    const bool printed = PrintPlot(plot, printer);
    if (!printed || !QFileInfo(partial).isFile() ||
        std::rename(QFile::encodeName(partial).constData(),
                    QFile::encodeName(output).constData()) != 0) {
        QFile::remove(partial);
        error = QString::fromUtf8(Tr(texts::PrintFailedText)).arg(output);
        return false;
    }
    return true;
}

}  // namespace kresograf
