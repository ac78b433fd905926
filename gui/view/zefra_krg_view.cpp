#include "gui/view/zefra_krg_view.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "gui/shell/command_table.h"
#include "gui/shell/gui_document.h"
#include "gui/view/markers_window.h"
#include "gui/view/picture_painter.h"

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
    const ViewResponse response = plot_->OnUpdate(hint);
    Apply({ViewAction::None, {}, response.MarkerChannels, std::nullopt});
    RenderAndRedraw();
}

void CZefraKrgView::Apply(const ViewResponse& response) {
    for (int c = 0; c < ChannelCount; ++c) {
        if ((response.MarkerChannels >> c) & 1u) {
            UpdateMarkersWindow(c);
        }
    }
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
            // The old band goes by copying the picture again; the new one is drawn on top.
            const PictureRect& old = response.OldBand;
            const PictureRect& band = plot_->ZoomRect;
            QRegion damaged(old.Left, old.Top, old.Width() + 1, old.Height() + 1);
            damaged += QRect(band.Left, band.Top, band.Width() + 1, band.Height() + 1);
            repaint(damaged);
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
    Q_EMIT ShownChanged();
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
    // Predicted from the last render: a slow picture shows the wait cursor while it is built.
    const bool slow = lastRenderMs_ > 16;
    if (slow) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    QElapsedTimer timer;
    timer.start();
    RenderPlot();
    lastRenderMs_ = timer.elapsed();
    if (slow) {
        QGuiApplication::restoreOverrideCursor();
    }
    repaint();
}

void CZefraKrgView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect damaged = event->rect();
    painter.drawImage(damaged, backBuffer_, damaged);
    PaintMarkers(painter);
    PaintRubberBand(painter);
}

const QImage& CZefraKrgView::Sprite(int channel, uint32_t color) {
    QImage& sprite = sprites_[channel];
    if (sprite.isNull() || spriteColors_[channel] != color) {
        sprite = QImage(MarkerSpriteSize, MarkerSpriteSize, QImage::Format_ARGB32_Premultiplied);
        sprite.fill(Qt::transparent);
        const MarkerSpritePattern pattern = MarkerSprite();
        const QRgb rgb = ColorFromRef(color).rgb();
        for (int row = 0; row < MarkerSpriteSize; ++row) {
            for (int column = 0; column < MarkerSpriteSize; ++column) {
                if (pattern[row][column]) {
                    sprite.setPixel(column, row, rgb);
                }
            }
        }
        spriteColors_[channel] = color;
    }
    return sprite;
}

void CZefraKrgView::PaintMarkers(QPainter& painter) {
    for (const MarkerOverlay& overlay : plot_->MarkerOverlays()) {
        const PictureRect& d = overlay.Dest;
        painter.drawImage(
            QRect(d.Left, d.Top, d.Width(), d.Height()), Sprite(overlay.Channel, overlay.Color),
            QRect(overlay.SourceOffset.X, overlay.SourceOffset.Y, d.Width(), d.Height()));
    }
}

void CZefraKrgView::PaintRubberBand(QPainter& painter) {
    const PictureRect& band = plot_->ZoomRect;
    if (plot_->RectZooming == 0 || band.Width() <= 0 || band.Height() <= 0) {
        return;
    }
    // A dotted frame that inverts what it covers, so it shows on any trace colour.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band.Left, band.Top, band.Width() - 1, band.Height() - 1);
    painter.restore();
}

void CZefraKrgView::BeginDrag() {
    if (plot_->Panning != 0 || plot_->Stretching != 0 || plot_->RectZooming != 0) {
        return;
    }
    dragStart_ = {plot_->XStart, plot_->XEnd, plot_->YMin, plot_->YMax, plot_->ZoomRect};
}

void CZefraKrgView::CancelDrag() {
    plot_->XStart = dragStart_.XStart;
    plot_->XEnd = dragStart_.XEnd;
    plot_->YMin = dragStart_.YMin;
    plot_->YMax = dragStart_.YMax;
    plot_->ZoomRect = dragStart_.ZoomRect;
    plot_->Panning = plot_->Stretching = plot_->RectZooming = plot_->Dragged = 0;
    RenderAndRedraw();
}

void CZefraKrgView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const Qt::KeyboardModifiers keys = event->modifiers();
    BeginDrag();
    if (event->button() == Qt::LeftButton) {
        Apply(plot_->LeftButtonDown({at.x(), at.y()}, keys.testFlag(Qt::ShiftModifier),
                                    keys.testFlag(Qt::ControlModifier)));
    } else if (event->button() == Qt::RightButton) {
        Apply(plot_->RightButtonDown({at.x(), at.y()}, keys.testFlag(Qt::ShiftModifier)));
    }
    event->accept();
}

void CZefraKrgView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    Apply(plot_->MouseMove({at.x(), at.y()}, width(), height()));
    event->accept();
}

void CZefraKrgView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // A rectangle zoom renders anew, which also takes the band off the screen.
        Apply(plot_->LeftButtonUp({at.x(), at.y()}));
    } else if (event->button() == Qt::RightButton) {
        Apply(plot_->RightButtonUp({at.x(), at.y()}));
    }
    event->accept();
}

void CZefraKrgView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click walks the history and starts no drag.
    if (event->button() == Qt::LeftButton) {
        Apply(plot_->LeftDoubleClick());
    } else if (event->button() == Qt::RightButton) {
        Apply(plot_->RightDoubleClick());
    }
    event->accept();
}

void CZefraKrgView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape &&
        (plot_->Panning != 0 || plot_->Stretching != 0 || plot_->RectZooming != 0)) {
        CancelDrag();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CZefraKrgView::UpdateMarkersWindow(int channel) {
    if (markersWindow_ != nullptr && parentWidget() != nullptr) {
        markersWindow_->ShowMarkers(parentWidget(), plot_->MarkerReadoutOf(channel),
                                    plot_->MarkerStatisticsOf(channel));
    }
    Q_EMIT ShownChanged();
}

QImage CZefraKrgView::ViewImage(bool negate) {
    // The view's own pixels: its picture with markers, never a window lying over it.
    QImage image(size(), QImage::Format_RGB32);
    render(&image);
    if (negate) {
        const QRect plot = QRect(plot_->PlotRect.Left, plot_->PlotRect.Top, plot_->PlotRect.Width(),
                                 plot_->PlotRect.Height())
                               .intersected(image.rect());
        for (int y = plot.top(); y <= plot.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = plot.left(); x <= plot.right(); ++x) {
                line[x] = 0xFF000000u | (~line[x] & 0x00FFFFFFu);
            }
        }
    }
    return image;
}

void CZefraKrgView::CopyToClipboard(bool negate) {
    QGuiApplication::clipboard()->setImage(ViewImage(negate));
}

void CZefraKrgView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RenderPlot();
}

}  // namespace kresograf
