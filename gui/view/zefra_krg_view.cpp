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
    plot_->SetLabelMetrics(MakeTextMeasure(font_, &backBuffer_));
}

CZefraKrgView::~CZefraKrgView() = default;

void CZefraKrgView::OnUpdate(uint32_t hint) {
    plot_->OnUpdate(hint);
    RenderAndRedraw();
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
            plot_->Autoscale();
            break;
        case ID_ALIGN_SCALES:
            plot_->AlignScales();
            break;
        case ID_LINK_SCALES:
            // Linking changes nothing on screen.
            plot_->ToggleLinkedScales();
            return;
        case ID_FIX_X_ZERO:
            plot_->FixXZero();
            break;
        case ID_FIX_Y_ZERO:
            plot_->FixYZero();
            break;
        case ID_GRID:
            plot_->ToggleGrid();
            break;
        default:
            return;
    }
    RenderAndRedraw();
}

CommandState CZefraKrgView::ScaleCommandState(int id) const {
    switch (id) {
        case ID_LINK_SCALES:
            return {true, plot_->LinkedScales()};
        case ID_GRID:
            return {true, plot_->GridOn()};
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
