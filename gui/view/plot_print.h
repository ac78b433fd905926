#pragma once

#include <QFont>
#include <QPageSize>
#include <QString>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace kresograf {

class PlotView;
struct SettingsRecord;

// The printed labels' font: Arial 10 pt, sized for the device it is drawn on.
QFont PrintFont();

// Draws a view's one page on the painter's device, filling the device: the paper layout with
// print pens, black labels and no background, no markers.
void PaintPrintedPage(PlotView& plot, QPainter& painter);

// Prints the page on a printer (or a PDF printer); false when the job cannot start.
bool PrintPlot(PlotView& plot, QPrinter& printer);

// The printing commands of a plot window, on the printer chosen by the page setup.
class PlotPrinting {
  public:
    PlotPrinting();
    ~PlotPrinting();
    PlotPrinting(const PlotPrinting&) = delete;
    PlotPrinting& operator=(const PlotPrinting&) = delete;

    // "&Drukuj...": the print dialog, then the page.
    void Print(PlotView& plot, QWidget* owner);
    // Straight to the printer with its current settings.
    void PrintDirect(PlotView& plot, QWidget* owner);
    // "&Podgląd wydruku".
    void Preview(PlotView& plot, QWidget* owner);
    // "&Ustawienia druku".
    void PageSetup(QWidget* owner);

    QPrinter& Printer() { return *printer_; }

  private:
    void Failed(QWidget* owner);
    std::unique_ptr<QPrinter> printer_;
};

// Opens a .kgd file and prints the page a new plot window of it would print into a PDF file
// (written whole or not at all). Returns false with a Polish message.
bool PrintDocumentFile(const QString& input, const QString& output, QPageSize::PageSizeId paper,
                       const SettingsRecord& settings, QString& error);

}  // namespace kresograf
