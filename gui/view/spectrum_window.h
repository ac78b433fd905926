#pragma once

#include <QDialog>
#include <QPointer>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "analysis/spectrum.h"
#include "analysis/spectrum_worker.h"
#include "view/spectrum_view.h"

class QComboBox;
class QLabel;
class QPrinter;
class QTableWidget;

namespace kresograf {

class CSpectrumPlot;
class CZefraKrgDoc;
class CZefraKrgView;
struct SettingsRecord;

// The "Widmo" tool window: the amplitude spectrum of the active channel of the plot window it
// follows, over the samples that window shows (or between the channel's markers when they are
// on), with a choice of window and of the two axes' scales, and a table of the strongest peaks.
// One for the program, hidden rather than closed. It is worked out anew whenever the plot
// window shows something new, but only once the event loop is free (so a shot's update never
// waits for it) and only while the window is visible; a long span goes to a helper thread, and
// a spectrum asked for meanwhile replaces the one waiting. Printing and copying go as for a
// plot: its own menu, white paper and print colours.
class CSpectrumWindow : public QDialog {
    Q_OBJECT

  public:
    explicit CSpectrumWindow(const SettingsRecord& settings, QWidget* owner = nullptr);
    ~CSpectrumWindow() override;

    // Follows a plot window (null: none): shows its spectrum now and after each change, until
    // that window goes.
    void Follow(CZefraKrgView* view);
    CZefraKrgView* Followed() const;
    // The spectrum of span's channel of the document over span's scans. With wait, computed
    // here and now whatever its length.
    void ShowSpectrum(const CZefraKrgDoc& doc, const SpectrumSpan& span, bool wait = false);

    void SetWindow(SpectrumWindow window);
    void SetAxes(SpectrumAxes axes);

    // The spectrum shown; empty while there is none.
    const Spectrum& Shown() const { return shown_; }
    // Spectra shown so far (tests wait for them).
    int ShownCount() const { return shownCount_; }
    CSpectrumPlot* Plot() const { return plot_; }
    QTableWidget* PeaksTable() const { return table_; }
    QLabel* SummaryLabel() const { return summary_; }

    // One page: the spectrum on the upper part, its summary and the peaks table under it.
    void PaintPrintedPage(QPainter& painter);
    // "&Drukuj...", "&Podgląd wydruku", and the two copies. They print on the given printer,
    // so the page set up for the plots holds here too; without one, on a printer of its own.
    void UsePrinter(QPrinter* printer) { sharedPrinter_ = printer; }
    void Print();
    void PrintPreview();
    void CopyToClipboard(bool negate);

    static constexpr std::size_t PeakRows = 10;

  protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    SpectrumWindow Window() const;
    SpectrumAxes Axes() const;
    // Asks once the event loop is free; several changes before then ask once.
    void ScheduleRefresh();
    void Refresh();
    void Ask(const SampleRun& run, const SpectrumSpan& span, bool wait);
    void Present(const SpectrumResult& result);
    void ShowMessage(const QString& text);
    SpectrumPlotData PlotData() const;
    void Redraw();
    QPrinter& Printer();

    const SettingsRecord& settings_;
    QComboBox* window_ = nullptr;
    QComboBox* frequency_ = nullptr;
    QComboBox* amplitude_ = nullptr;
    CSpectrumPlot* plot_ = nullptr;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPointer<CZefraKrgView> followed_;
    // A spectrum shown on its own: a copy of its samples.
    std::vector<int32_t> standalone_;
    SampleRun standaloneRun_;
    QMetaObject::Connection followedChange_;
    QMetaObject::Connection followedGone_;
    bool refreshScheduled_ = false;
    // The span of the latest request, for the summary of its result.
    SpectrumSpan asked_;
    Spectrum shown_;
    SpectrumSpan shownSpan_;
    int shownCount_ = 0;
    QPrinter* sharedPrinter_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    // Last: its helper thread ends before anything it reports to goes.
    std::unique_ptr<SpectrumWorker> worker_;
};

// Opens a .kgd file and draws the spectrum window of one of its inputs (1 … 8; 0 = the first
// with data) over the whole recording into a PNG. Returns false with a Polish message.
bool RenderSpectrumFile(const QString& input, const QString& output, QSize size, int channel,
                        const SettingsRecord& settings, QString& error);

}  // namespace kresograf
