#include "view/zefra_krg_view.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>

#include "shell/command_table.h"
#include "shell/gui_document.h"
#include "view/picture_painter.h"

namespace kresograf {

CZefraKrgView::CZefraKrgView(GuiDocument& document, const SettingsRecord& settings, QWidget* parent)
    : QWidget(parent),
      document_(document),
      settings_(settings),
      plot_(std::make_unique<PlotView>(*document.Doc, &settings)),
      font_(LabelFont()),
      backBuffer_(MakeBackBuffer(1, 1)),
      painter_(font_) {
    // The whole client area comes from the back buffer; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(1, 1);
    // Every back buffer has the same resolution, so one measure serves them all.
    measure_ = MakeTextMeasure(font_, &backBuffer_);
    plot_->SetAxisMetrics(measure_);
    liveTimer_.setInterval(100);
    connect(&liveTimer_, &QTimer::timeout, this, &CZefraKrgView::ShowRecordingProgress);
    liveTimer_.start();
}

void CZefraKrgView::ShowRecordingProgress() {
    // Looks at the document only while its recording runs or the view still shows one.
    if (document_.Doc->RecRunning.load() == 0 && !plot_->Live()) {
        return;
    }
    Apply(plot_->OnRecordingProgress());
}

CZefraKrgView::~CZefraKrgView() = default;

void CZefraKrgView::OnUpdate(uint32_t hint) {
    // Every update ends with a new picture on screen, whatever the hint.
    plot_->OnUpdate(hint);
    RenderAndRedraw();
}

void CZefraKrgView::Apply(const ViewResponse& response) {
    switch (response.Action) {
        case ViewAction::None:
            break;
        case ViewAction::Redraw:
            repaint();
            break;
        case ViewAction::RenderAndRedraw:
            RenderAndRedraw();
            break;
        case ViewAction::InvalidateBand: {
            const PictureRect& band = response.OldBand;
            repaint(band.Left, band.Top, band.Width(), band.Height());
            break;
        }
    }
}

void CZefraKrgView::RenderPlot() {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    if (backBuffer_.width() != w || backBuffer_.height() != h) {
        backBuffer_ = MakeBackBuffer(w, h);
    }
    plot_->BuildPicture(picture_, w, h, measure_, true);
    QPainter painter(&backBuffer_);
    painter_.Paint(painter, picture_);
    ++renderCount_;
}

void CZefraKrgView::RunScaleCommand(int id) {
    switch (id) {
        case ID_AUTOSCALE:
            Apply(plot_->Autoscale());
            break;
        case ID_ALIGN_SCALES:
            Apply(plot_->AlignScales());
            break;
        case ID_LINK_SCALES:
            Apply(plot_->ToggleLinkedScales());
            break;
        case ID_FIX_X_ZERO:
            Apply(plot_->FixXZero());
            break;
        case ID_FIX_Y_ZERO:
            Apply(plot_->FixYZero());
            break;
        case ID_GRID:
            Apply(plot_->ToggleGrid());
            break;
        default:
            break;
    }
}

CommandState CZefraKrgView::ScaleCommandState(int id) const {
    switch (id) {
        case ID_LINK_SCALES:
            return {true, plot_->LinkedScales != 0};
        case ID_GRID:
            return {true, plot_->GridOn != 0};
        default:
            return {true, false};
    }
}

void CZefraKrgView::RenderAndRedraw() {
    RenderPlot();
    repaint();
}

void CZefraKrgView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect damaged = event->rect();
    painter.drawImage(damaged, backBuffer_, damaged);
}

void CZefraKrgView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RenderPlot();
}

}  // namespace kresograf
