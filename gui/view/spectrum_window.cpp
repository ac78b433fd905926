#include "gui/view/spectrum_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "analysis/spectrum_input.h"
#include "analysis/spectrum_texts.h"
#include "base/frame_link.h"
#include "base/settings_record.h"
#include "base/translation.h"
#include "document/kgd_file.h"
#include "document/zefra_krg_doc.h"
#include "gui/shell/gui_document.h"
#include "gui/view/plot_print.h"
#include "gui/view/spectrum_plot.h"
#include "gui/view/zefra_krg_view.h"
#include "gui/widgets/tool_window_keys.h"
#include "shell/shell_texts.h"
#include "view/plot_view.h"

namespace kresograf {
namespace {

QString Text(const char* polish) {
    return QString::fromUtf8(Tr(polish));
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CSpectrumWindow::CSpectrumWindow(const SettingsRecord& settings, QWidget* owner)
    : QDialog(owner, Qt::Tool), settings_(settings) {
    setObjectName(QStringLiteral("SpectrumWindow"));
    setWindowTitle(Text(SpectrumTitle));
    KeepKeysInWindow(*this);

    window_ = new QComboBox;
    window_->setObjectName(QStringLiteral("SpectrumWindowChoice"));
    for (const SpectrumWindow w : SpectrumWindows) {
        window_->addItem(Utf8(SpectrumWindowName(w)));
    }
    frequency_ = new QComboBox;
    frequency_->setObjectName(QStringLiteral("SpectrumFrequencyAxis"));
    frequency_->addItems({Text(SpectrumLabels::Linear), Text(SpectrumLabels::Logarithmic)});
    amplitude_ = new QComboBox;
    amplitude_->setObjectName(QStringLiteral("SpectrumAmplitudeAxis"));
    amplitude_->addItems({QStringLiteral("V RMS"), QStringLiteral("dBV")});
    auto* choices = new QHBoxLayout;
    for (const auto& [label, box] : {std::pair{SpectrumLabels::Window, window_},
                                     std::pair{SpectrumLabels::FrequencyAxis, frequency_},
                                     std::pair{SpectrumLabels::Amplitude, amplitude_}}) {
        auto* caption = new QLabel(Text(label));
        caption->setBuddy(box);
        choices->addWidget(caption);
        choices->addWidget(box);
        choices->addSpacing(8);
    }
    choices->addStretch(1);

    plot_ = new CSpectrumPlot(settings);
    plot_->setContextMenuPolicy(Qt::DefaultContextMenu);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("SpectrumSummary"));
    summary_->setWordWrap(true);
    auto* peaksCaption = new QLabel(Text(SpectrumLabels::Peaks));
    table_ = new QTableWidget(0, 3);
    table_->setObjectName(QStringLiteral("SpectrumPeaks"));
    QStringList headers;
    for (const std::string& header : SpectrumTableHeaders()) {
        headers << Utf8(header);
    }
    table_->setHorizontalHeaderLabels(headers);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setMinimumHeight(120);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(choices);
    layout->addWidget(plot_, 3);
    layout->addWidget(summary_);
    layout->addWidget(peaksCaption);
    layout->addWidget(table_, 1);
    resize(600, 520);

    connect(window_, &QComboBox::currentIndexChanged, this, [this] {
        if (standalone_.empty()) {
            ScheduleRefresh();
        } else {
            Ask(standaloneRun_, asked_, true);
        }
    });
    connect(frequency_, &QComboBox::currentIndexChanged, this, &CSpectrumWindow::Redraw);
    connect(amplitude_, &QComboBox::currentIndexChanged, this, &CSpectrumWindow::Redraw);

    // The helper's results come back through the event loop, and count only when nothing was
    // asked for since.
    worker_ = std::make_unique<SpectrumWorker>([this](SpectrumResult&& result) {
        auto delivered = std::make_shared<SpectrumResult>(std::move(result));
        QMetaObject::invokeMethod(
            this,
            [this, delivered] {
                if (worker_->IsLatest(delivered->Id)) {
                    Present(*delivered);
                }
            },
            Qt::QueuedConnection);
    });
    ShowMessage(Text(SpectrumLabels::NoPlot));
}

CSpectrumWindow::~CSpectrumWindow() = default;

SpectrumWindow CSpectrumWindow::Window() const {
    return SpectrumWindows[std::clamp(window_->currentIndex(), 0, 3)];
}

SpectrumAxes CSpectrumWindow::Axes() const {
    return {frequency_->currentIndex() == 1 ? FrequencyAxis::Logarithmic : FrequencyAxis::Linear,
            amplitude_->currentIndex() == 1 ? AmplitudeAxis::Dbv : AmplitudeAxis::Rms};
}

void CSpectrumWindow::SetWindow(SpectrumWindow window) {
    window_->setCurrentIndex(static_cast<int>(window));
}

void CSpectrumWindow::SetAxes(SpectrumAxes axes) {
    frequency_->setCurrentIndex(axes.Frequency == FrequencyAxis::Logarithmic ? 1 : 0);
    amplitude_->setCurrentIndex(axes.Amplitude == AmplitudeAxis::Dbv ? 1 : 0);
}

CZefraKrgView* CSpectrumWindow::Followed() const {
    return followed_;
}

void CSpectrumWindow::Follow(CZefraKrgView* view) {
    standalone_.clear();
    if (followed_ != view) {
        disconnect(followedChange_);
        disconnect(followedGone_);
        followed_ = view;
        if (view != nullptr) {
            followedChange_ = connect(view, &CZefraKrgView::ShownChanged, this,
                                      &CSpectrumWindow::ScheduleRefresh);
            // Its plot window closed: say so rather than keep its last spectrum.
            followedGone_ = connect(view, &QObject::destroyed, this, [this] { Follow(nullptr); });
        }
    }
    ScheduleRefresh();
}

void CSpectrumWindow::ShowSpectrum(const CZefraKrgDoc& doc, const SpectrumSpan& span, bool wait) {
    // Shown on its own, the samples are kept so another window can be chosen for them.
    Follow(nullptr);
    const SampleRun run = ChannelRun(doc, span.Set, span.Channel, span.First, span.Last,
                                     span.VoltsPerUnit, span.UnitMs);
    standalone_.resize(run.Count);
    for (std::size_t k = 0; k < standalone_.size(); ++k) {
        standalone_[k] = run.Data[k];
    }
    standaloneRun_ = run;
    standaloneRun_.Data = standalone_.data();
    Ask(standaloneRun_, span, wait);
}

void CSpectrumWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ScheduleRefresh();
}

void CSpectrumWindow::ScheduleRefresh() {
    if (!isVisible() || refreshScheduled_ || !standalone_.empty()) {
        return;
    }
    refreshScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshScheduled_ = false;
        Refresh();
    });
}

void CSpectrumWindow::Refresh() {
    if (followed_ == nullptr) {
        ShowMessage(Text(SpectrumLabels::NoPlot));
        return;
    }
    const CZefraKrgDoc& doc = *followed_->Document().Doc;
    const std::optional<SpectrumSpan> span = SpectrumSpanOf(followed_->Plot(), doc, settings_);
    if (!span) {
        ShowMessage(Text(SpectrumLabels::NoChannel));
        return;
    }
    Ask(ChannelRun(doc, span->Set, span->Channel, span->First, span->Last, span->VoltsPerUnit,
                   span->UnitMs),
        *span, false);
}

void CSpectrumWindow::Ask(const SampleRun& run, const SpectrumSpan& span, bool wait) {
    asked_ = span;
    if (const std::optional<SpectrumResult> result =
            worker_->Request(run, Window(), PeakRows, wait)) {
        Present(*result);
    } else {
        summary_->setText(Text(SpectrumLabels::Computing));
    }
}

void CSpectrumWindow::Present(const SpectrumResult& result) {
    ++shownCount_;
    if (result.Status != SpectrumStatus::Ok) {
        ShowMessage(Utf8(SpectrumStatusText(result.Status, result.Count)));
        return;
    }
    shown_ = result.Data;
    shownSpan_ = asked_;
    summary_->setText(
        Utf8(SpectrumSummary(asked_.Channel, asked_.FromSeconds, asked_.ToSeconds, shown_)));
    table_->setRowCount(static_cast<int>(shown_.Peaks.size()));
    for (std::size_t row = 0; row < shown_.Peaks.size(); ++row) {
        const std::array<std::string, 3> cells = SpectrumPeakCells(shown_.Peaks[row]);
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(Utf8(cells[column]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(static_cast<int>(row), column, item);
        }
    }
    Redraw();
}

void CSpectrumWindow::ShowMessage(const QString& text) {
    shown_ = {};
    table_->setRowCount(0);
    summary_->setText(text);
    Redraw();
}

SpectrumPlotData CSpectrumWindow::PlotData() const {
    SpectrumPlotData data;
    data.Rms = shown_.Rms.data();
    data.Bins = shown_.Rms.size();
    data.BinHz = shown_.BinHz;
    data.Channel = shownSpan_.Channel;
    for (const SpectrumPeak& peak : shown_.Peaks) {
        data.Peaks.push_back({peak.FrequencyHz, peak.Rms});
    }
    return data;
}

void CSpectrumWindow::Redraw() {
    plot_->SetData(PlotData(), Axes());
}

void CSpectrumWindow::PaintPrintedPage(QPainter& painter) {
    QPaintDevice* device = painter.device();
    const QFont font(PrintFont(), device);
    const QFontMetrics metrics(font, device);
    const int w = device->width();
    const int h = device->height();
    const int line = metrics.height();
    const int rows = static_cast<int>(shown_.Peaks.size());
    // The summary and the table under the plot: a line each, a blank line before each.
    const int tableHeight = line * (rows + 4);
    plot_->PaintOnPaper(painter, QRect(0, 0, w, std::max(h - tableHeight, line)));
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int left = metrics.horizontalAdvance(QStringLiteral("  000.000  "));
    int y = h - tableHeight + 2 * line;
    painter.drawText(left, y, summary_->text());
    y += 2 * line;
    const std::array<std::string, 3> headers = SpectrumTableHeaders();
    const int columnWidth = (w - 2 * left) / 4;
    for (int column = 0; column < 3; ++column) {
        painter.drawText(left + (column + 1) * columnWidth, y, Utf8(headers[column]));
    }
    for (int row = 0; row < rows; ++row) {
        y += line;
        painter.drawText(left, y, QString::number(row + 1));
        const std::array<std::string, 3> cells = SpectrumPeakCells(shown_.Peaks[row]);
        for (int column = 0; column < 3; ++column) {
            painter.drawText(left + (column + 1) * columnWidth, y, Utf8(cells[column]));
        }
    }
    painter.restore();
}

QPrinter& CSpectrumWindow::Printer() {
    if (sharedPrinter_ != nullptr) {
        return *sharedPrinter_;
    }
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void CSpectrumWindow::Print() {
    QPrinter& printer = Printer();
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, 1);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        QMessageBox::warning(this, Text(texts::MainTitle),
                             Text(N_("Nie mogę rozpocząć zadania drukowania.")));
        return;
    }
    PaintPrintedPage(painter);
    painter.end();
}

void CSpectrumWindow::PrintPreview() {
    QPrintPreviewDialog dialog(&Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        QPainter painter(printer);
        PaintPrintedPage(painter);
    });
    dialog.exec();
}

void CSpectrumWindow::CopyToClipboard(bool negate) {
    QGuiApplication::clipboard()->setImage(plot_->ViewImage(negate));
}

void CSpectrumWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (!plot_->geometry().contains(event->pos())) {
        QDialog::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addAction(Text(N_("&Kopiuj")), this, [this] { CopyToClipboard(false); });
    menu.addAction(Text(N_("K&opiuj z negacją")), this, [this] { CopyToClipboard(true); });
    menu.addSeparator();
    menu.addAction(Text(N_("&Drukuj...")), this, &CSpectrumWindow::Print);
    menu.addAction(Text(N_("&Podgląd wydruku")), this, &CSpectrumWindow::PrintPreview);
    menu.exec(event->globalPos());
}

bool RenderSpectrumFile(const QString& input, const QString& output, QSize size, int channel,
                        const SettingsRecord& settings, QString& error) {
    CZefraKrgDoc doc;
    const FileResult result = OpenDocument(doc, QFile::encodeName(input).toStdString());
    if (!result.Ok()) {
        error = result.Message ? QString::fromStdString(result.Message->Text)
                               : Text(texts::FileMissingText).arg(input);
        return false;
    }
    // The whole recording, as a new plot window shows it.
    PlotView plot(doc, &settings);
    plot.OnUpdate(HintInitial);
    if (channel > 0) {
        if (!plot.ChannelPresent(channel - 1)) {
            error = Utf8(
                FillText(Tr("Kanał %s nie zawiera danych w pliku."), {std::to_string(channel)}));
            return false;
        }
        plot.ActiveChannel = channel - 1;
    }
    const std::optional<SpectrumSpan> span = SpectrumSpanOf(plot, doc, settings);
    if (!span) {
        error = Text(SpectrumLabels::NoChannel);
        return false;
    }
    CSpectrumWindow window(settings);
    window.resize(size);
    window.ShowSpectrum(doc, *span, true);
    window.show();
    QCoreApplication::processEvents();
    if (!window.grab().toImage().save(output, "PNG")) {
        error = Text(texts::RenderFailedText).arg(output);
        return false;
    }
    return true;
}

}  // namespace kresograf
