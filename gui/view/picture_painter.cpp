#include "gui/view/picture_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <new>

#include "gui/view/trace_raster.h"

namespace kresograf {
namespace {

// 96 dots per inch in dots per metre.
constexpr int DotsPerMetre = 3780;
constexpr std::align_val_t CacheLine{64};

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

// The pixels the dotted cosmetic pen gives a horizontal or vertical line: every third pixel from
// its first point on, whichever way it runs, both ends included; only those inside the clip.
void DotLine(QImage& image, const QRect& clip, PicturePoint a, PicturePoint b, QRgb color) {
    const bool vertical = a.X == b.X;
    const int across = vertical ? a.X : a.Y;
    if (across < (vertical ? clip.left() : clip.top()) ||
        across > (vertical ? clip.right() : clip.bottom())) {
        return;
    }
    const int from = vertical ? a.Y : a.X;
    const int to = vertical ? b.Y : b.X;
    const int low = std::max(std::min(from, to), vertical ? clip.top() : clip.left());
    const int high = std::min(std::max(from, to), vertical ? clip.bottom() : clip.right());
    if (low > high) {
        return;
    }
    // The first and last dot inside, counted from the line's first point.
    int first = 0;
    int last = 0;
    if (to >= from) {
        first = (low - from + 2) / 3;
        last = (high - from) / 3;
    } else {
        first = (from - high + 2) / 3;
        last = (from - low) / 3;
    }
    const int sign = to >= from ? 3 : -3;
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype stride = image.bytesPerLine() / 4;
    const qsizetype step = vertical ? sign * stride : sign;
    QRgb* pixel = bits + (vertical ? static_cast<qsizetype>(from + first * sign) * stride + across
                                   : static_cast<qsizetype>(across) * stride + from + first * sign);
    for (int n = last - first; n >= 0; --n, pixel += step) {
        *pixel = color;
    }
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
    const int w = std::max(width, 1);
    const int h = std::max(height, 1);
    // Rows an odd number of cache lines apart, so that the rows a column runs down fall into
    // every set of the caches. Rows a multiple of many lines apart (1920 pixels are 120 lines,
    // 1024 pixels 64) share a few sets, and a column written down them evicts its own lines.
    qsizetype lines = (qsizetype{4} * w + 63) / 64;
    if (lines % 2 == 0) {
        ++lines;
    }
    const qsizetype bytesPerLine = lines * 64;
    auto* data = static_cast<uchar*>(
        ::operator new(static_cast<std::size_t>(bytesPerLine * h), CacheLine, std::nothrow));
    // Without the memory, an image of Qt's own (null too when there is none at all).
    QImage image = data == nullptr
                       ? QImage(w, h, QImage::Format_RGB32)
                       : QImage(
                             data, w, h, bytesPerLine, QImage::Format_RGB32,
                             [](void* bits) { ::operator delete(bits, CacheLine); }, data);
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

void PicturePainter::PrepareLabels(QPaintDevice* device) {
    if (labelDpi_ != device->logicalDpiY()) {
        labels_.clear();
        labelDpi_ = device->logicalDpiY();
        const QFontMetrics metrics(font_, device);
        ascent_ = metrics.ascent();
        height_ = metrics.height();
    }
}

bool PicturePainter::LabelsClearOf(const Picture& picture, const QRect& area,
                                   QPaintDevice* device) {
    // Each label's box with two pixels to spare for a glyph's overhang.
    for (const PictureLabel& label : picture.Labels) {
        const LabelLayout& layout = Layout(label.Text, device);
        const int x = label.Align == LabelAlign::BaselineRight ? label.Anchor.X - layout.Width
                                                               : label.Anchor.X - layout.Width / 2;
        const QRect box(x - 2, label.Anchor.Y - ascent_ - 2, layout.Width + 4, height_ + 4);
        if (box.intersects(area)) {
            return false;
        }
    }
    return true;
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
    const PictureRect& clip = picture.Clip;
    const QRect clipRect(clip.Left, clip.Top, clip.Width(), clip.Height());
    const QColor grey(192, 192, 192);
    if (direct) {
        PrepareLabels(image);
    }
    bool plotFilled = false;
    // The black of the clip goes in with the traces, a tile at a time, when nothing else drawn
    // before them can reach into it.
    bool clipWithTraces = false;
    if (picture.FillBackground) {
        if (direct && picture.HasPlot && picture.FillPlot) {
            // Every pixel once: grey around the plot, black inside it.
            const QRect all = QRect(0, 0, picture.Width, picture.Height).intersected(image->rect());
            const QRect inside =
                QRect(plot.Left, plot.Top, plot.Width(), plot.Height()).intersected(all);
            const QRect traced = clipRect.intersected(image->rect());
            clipWithTraces = !traced.isEmpty() && inside.contains(traced) &&
                             picture.AxisLines.empty() && LabelsClearOf(picture, traced, image);
            const QRect skipped = clipWithTraces ? traced : QRect();
            const QRgb greyPixel = grey.rgba();
            const QRgb blackPixel = QColor(Qt::black).rgba();
            for (int y = all.top(); y <= all.bottom(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(image->scanLine(y));
                if (inside.isEmpty() || y < inside.top() || y > inside.bottom()) {
                    std::fill(row + all.left(), row + all.right() + 1, greyPixel);
                    continue;
                }
                std::fill(row + all.left(), row + inside.left(), greyPixel);
                if (skipped.isEmpty() || y < skipped.top() || y > skipped.bottom()) {
                    std::fill(row + inside.left(), row + inside.right() + 1, blackPixel);
                } else {
                    std::fill(row + inside.left(), row + skipped.left(), blackPixel);
                    std::fill(row + skipped.right() + 1, row + inside.right() + 1, blackPixel);
                }
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

    if (direct) {
        raster_.Begin(*image, clipRect,
                      clipWithTraces ? std::optional<QRgb>(qRgb(0, 0, 0)) : std::nullopt);
        for (const PictureTrace& trace : picture.Traces) {
            raster_.Polyline(trace.Points, ColorFromRef(trace.Color).rgb());
        }
        raster_.Finish();
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
    // The grid in one batch: each line starts its dots afresh, as a line drawn on its own does.
    // Into the image's bits go the level and upright lines; any other takes the dotted pen.
    grid_.clear();
    const QRect gridClip = direct ? clipRect.intersected(image->rect()) : QRect();
    const QRgb gridColor = ColorFromRef(picture.GridColor).rgb();
    for (std::size_t i = 0; i + 1 < picture.Grid.size(); i += 2) {
        const PicturePoint a = picture.Grid[i];
        const PicturePoint b = picture.Grid[i + 1];
        if (direct && (a.X == b.X || a.Y == b.Y)) {
            DotLine(*image, gridClip, a, b, gridColor);
        } else {
            grid_.append(QLine(a.X, a.Y, b.X, b.Y));
        }
    }
    if (!grid_.isEmpty()) {
        painter.setPen(QPen(ColorFromRef(picture.GridColor), 0, Qt::DotLine));
        painter.drawLines(grid_.constData(), static_cast<int>(grid_.size()));
    }
    painter.restore();
}

}  // namespace kresograf
