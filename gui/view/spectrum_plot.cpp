#include "gui/view/spectrum_plot.h"

#include <QPaintEvent>
#include <QPainter>

#include "base/settings_record.h"
#include "gui/view/plot_print.h"

namespace kresograf {

CSpectrumPlot::CSpectrumPlot(const SettingsRecord& settings, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      font_(LabelFont()),
      backBuffer_(MakeBackBuffer(1, 1)),
      painter_(font_) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
    measure_ = MakeTextMeasure(font_, &backBuffer_);
}

void CSpectrumPlot::SetData(const SpectrumPlotData& data, SpectrumAxes axes) {
    data_ = data;
    axes_ = axes;
    Render();
    update();
}

void CSpectrumPlot::Render() {
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    if (backBuffer_.width() != w || backBuffer_.height() != h) {
        backBuffer_ = MakeBackBuffer(w, h);
    }
    BuildSpectrumPicture(picture_, data_, axes_, w, h, measure_, settings_, true);
    QPainter painter(&backBuffer_);
    painter_.Paint(painter, picture_);
}

QImage CSpectrumPlot::ViewImage(bool negate) const {
    QImage image = backBuffer_.copy();
    if (negate && picture_.HasPlot) {
        const PictureRect& p = picture_.Plot;
        const QRect plot = QRect(p.Left, p.Top, p.Width(), p.Height()).intersected(image.rect());
        for (int y = plot.top(); y <= plot.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = plot.left(); x <= plot.right(); ++x) {
                line[x] = 0xFF000000u | (~line[x] & 0x00FFFFFFu);
            }
        }
    }
    return image;
}

void CSpectrumPlot::PaintOnPaper(QPainter& painter, const QRect& area) const {
    QPaintDevice* device = painter.device();
    const QFont font(PrintFont(), device);
    Picture paper;
    BuildSpectrumPicture(paper, data_, axes_, area.width(), area.height(),
                         MakeTextMeasure(font, device), settings_, false);
    painter.save();
    painter.translate(area.topLeft());
    PaintPicture(painter, paper, font);
    painter.restore();
}

void CSpectrumPlot::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect damaged = event->rect();
    painter.drawImage(damaged, backBuffer_, damaged);
}

void CSpectrumPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Render();
}

}  // namespace kresograf
