#include "view/picture_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "view/trace_raster.h"

namespace kresograf {
namespace {

// 96 dots per inch in dots per metre.
constexpr int DotsPerMetre = 3780;

// The raised edge of the plot: outer ring light over dark, inner ring white over grey.
void PaintRaisedEdge(QPainter& painter, const PictureRect& r) {
    const int left = r.Left;
    const int top = r.Top;
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(left + inset, bottom - inset, left + inset, top + inset);
        painter.drawLine(left + inset, top + inset, right - inset, top + inset);
        painter.setPen(bottomRight);
        painter.drawLine(right - inset, top + inset, right - inset, bottom - inset);
        painter.drawLine(right - inset, bottom - inset, left + inset, bottom - inset);
    };
    ring(0, QColor(223, 223, 223), QColor(0, 0, 0));
    ring(1, QColor(255, 255, 255), QColor(128, 128, 128));
}

bool CanWriteDirectly(QPainter& painter) {
    auto* image = dynamic_cast<QImage*>(painter.device());
    return image != nullptr && painter.transform().isIdentity() &&
           (image->format() == QImage::Format_RGB32 ||
            image->format() == QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(7);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QImage MakeBackBuffer(int width, int height) {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMetre);
    image.setDotsPerMeterY(DotsPerMetre);
    return image;
}

TextMeasure MakeTextMeasure(const QFont& font, QPaintDevice* device) {
    auto metrics = std::make_shared<QFontMetrics>(font, device);
    return [metrics](std::string_view text) {
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return TextSize{metrics->horizontalAdvance(s), metrics->height()};
    };
}

void PaintPicture(QPainter& painter, const Picture& picture, const QFont& font) {
    PicturePainter(font).Paint(painter, picture);
}

const PicturePainter::LabelLayout& PicturePainter::Layout(const std::string& text,
                                                          QPaintDevice* device) {
    if (auto found = labels_.find(text); found != labels_.end()) {
        return found->second;
    }
    // Texts change with every zoom; a bounded cache is laid out afresh now and then.
    if (labels_.size() >= 4096) {
        labels_.clear();
    }
    const QString s = QString::fromStdString(text);
    LabelLayout layout;
    layout.Text.setText(s);
    layout.Text.setTextFormat(Qt::PlainText);
    layout.Text.prepare(QTransform(), font_);
    layout.Width = QFontMetrics(font_, device).horizontalAdvance(s);
    return labels_.emplace(text, std::move(layout)).first->second;
}

void PicturePainter::PaintLabels(QPainter& painter, const Picture& picture, bool direct) {
    painter.setFont(font_);
    QPaintDevice* device = painter.device();
    if (!direct) {
        const QFontMetrics metrics(font_, device);
        for (const PictureLabel& label : picture.Labels) {
            const QString text = QString::fromStdString(label.Text);
            const int width = metrics.horizontalAdvance(text);
            const int x = label.Align == LabelAlign::BaselineRight ? label.Anchor.X - width
                                                                   : label.Anchor.X - width / 2;
            painter.setPen(ColorFromRef(label.Color));
            painter.drawText(x, label.Anchor.Y, text);
        }
        return;
    }
    // A static text is placed by its top left, a label by its baseline.
    if (labelDpi_ != device->logicalDpiY()) {
        labels_.clear();
        labelDpi_ = device->logicalDpiY();
        ascent_ = QFontMetrics(font_, device).ascent();
    }
    bool penSet = false;
    uint32_t color = 0;
    for (const PictureLabel& label : picture.Labels) {
        const LabelLayout& layout = Layout(label.Text, device);
        const int x = label.Align == LabelAlign::BaselineRight ? label.Anchor.X - layout.Width
                                                               : label.Anchor.X - layout.Width / 2;
        if (!penSet || label.Color != color) {
            penSet = true;
            color = label.Color;
            painter.setPen(ColorFromRef(color));
        }
        painter.drawStaticText(x, label.Anchor.Y - ascent_, layout.Text);
    }
}

void PicturePainter::Paint(QPainter& painter, const Picture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const bool direct = CanWriteDirectly(painter);
    auto* image = direct ? static_cast<QImage*>(painter.device()) : nullptr;
    const PictureRect& plot = picture.Plot;
    const QColor grey(192, 192, 192);
    bool plotFilled = false;
    if (picture.FillBackground) {
        if (direct && picture.HasPlot && picture.FillPlot) {
            // Every pixel once: grey around the plot, black inside it.
            const QRect all = QRect(0, 0, picture.Width, picture.Height).intersected(image->rect());
            const QRect inside =
                QRect(plot.Left, plot.Top, plot.Width(), plot.Height()).intersected(all);
            const QRgb greyPixel = grey.rgba();
            const QRgb blackPixel = QColor(Qt::black).rgba();
            for (int y = all.top(); y <= all.bottom(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image->scanLine(y));
                if (inside.isEmpty() || y < inside.top() || y > inside.bottom()) {
                    std::fill(row + all.left(), row + all.right() + 1, greyPixel);
                    continue;
                }
                std::fill(row + all.left(), row + inside.left(), greyPixel);
                std::fill(row + inside.left(), row + inside.right() + 1, blackPixel);
                std::fill(row + inside.right() + 1, row + all.right() + 1, greyPixel);
            }
            plotFilled = true;
        } else {
            painter.fillRect(0, 0, picture.Width, picture.Height, grey);
        }
    }
    if (!picture.HasPlot) {
        painter.restore();
        return;
    }
    if (picture.FillPlot && !plotFilled) {
        painter.fillRect(plot.Left, plot.Top, plot.Width(), plot.Height(), Qt::black);
    }
    if (picture.RaisedEdge) {
        PaintRaisedEdge(painter, plot);
    }
    for (const PictureLine& line : picture.AxisLines) {
        painter.setPen(QPen(ColorFromRef(line.Color), line.Width <= 1 ? 0 : line.Width));
        painter.drawLine(line.From.X, line.From.Y, line.To.X, line.To.Y);
    }
    PaintLabels(painter, picture, direct);

    const PictureRect& clip = picture.Clip;
    const QRect clipRect(clip.Left, clip.Top, clip.Width(), clip.Height());
    if (direct) {
        TraceRaster raster(*image, clipRect);
        for (const PictureTrace& trace : picture.Traces) {
            raster.Polyline(trace.Points, ColorFromRef(trace.Color).rgb());
        }
    }
    painter.setClipRect(clipRect);
    if (!direct) {
        QPolygon polygon;
        for (const PictureTrace& trace : picture.Traces) {
            if (trace.Points.empty()) {
                continue;
            }
            painter.setPen(QPen(ColorFromRef(trace.Color), 0));
            if (trace.Points.size() == 2) {
                // One pixel column: from the smallest to the largest y, both ends included.
                const PicturePoint a = trace.Points[0];
                const PicturePoint b = trace.Points[1];
                if (a == b) {
                    painter.drawPoint(a.X, a.Y);
                } else {
                    painter.drawLine(a.X, a.Y, b.X, b.Y);
                }
                continue;
            }
            polygon.resize(static_cast<int>(trace.Points.size()));
            for (std::size_t i = 0; i < trace.Points.size(); ++i) {
                polygon[static_cast<int>(i)] = QPoint(trace.Points[i].X, trace.Points[i].Y);
            }
            painter.drawPolyline(polygon);
        }
    }
    if (picture.Grid.size() >= 2) {
        // One batch: each line starts its dots afresh, as a line drawn on its own does.
        grid_.resize(static_cast<qsizetype>(picture.Grid.size() / 2));
        for (qsizetype i = 0; i < grid_.size(); ++i) {
            const PicturePoint a = picture.Grid[static_cast<std::size_t>(2 * i)];
            const PicturePoint b = picture.Grid[static_cast<std::size_t>(2 * i + 1)];
            grid_[i] = QLine(a.X, a.Y, b.X, b.Y);
        }
        painter.setPen(QPen(ColorFromRef(picture.GridColor), 0, Qt::DotLine));
        painter.drawLines(grid_.constData(), static_cast<int>(grid_.size()));
    }
    painter.restore();
}

}  // namespace kresograf
