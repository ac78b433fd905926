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
      backBuffer_(MakeBackBuffer(1, 1)) {
    // The whole client area comes from the back buffer; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(1, 1);
    plot_->SetAxisMetrics(MakeTextMeasure(font_, &backBuffer_));
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
    const Picture picture = plot_->BuildPicture(w, h, MakeTextMeasure(font_, &backBuffer_), true);
    QPainter painter(&backBuffer_);
    PaintPicture(painter, picture, font_);
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
