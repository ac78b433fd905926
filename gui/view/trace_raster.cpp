#include "gui/view/trace_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kresograf {
namespace {

// Liang-Barsky: cuts the segment a-b to the rectangle; false when nothing of it is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const QRect& clip) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - clip.left(), clip.right() - x0, y0 - clip.top(), clip.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double ox = x0;
    const double oy = y0;
    x0 = ox + t0 * dx;
    y0 = oy + t0 * dy;
    x1 = ox + t1 * dx;
    y1 = oy + t1 * dy;
    return true;
}

// A tile: the pixels of one cache line across, rows enough to stay well inside the first-level
// cache with room to spare.
constexpr int TileColumns = 16;
constexpr int TileRows = 256;

}  // namespace

void TraceRaster::Begin(QImage& image, const QRect& clip, std::optional<QRgb> background) {
    Finish();
    background_ = background;
    bits_ = reinterpret_cast<QRgb*>(image.bits());
    stride_ = image.bytesPerLine() / 4;
    runs_.clear();
    traces_.clear();
    leftward_ = false;
    left_ = 0;
    top_ = 0;
    right_ = -1;
    bottom_ = -1;
    const QRect r = clip.intersected(image.rect());
    if (!r.isEmpty()) {
        left_ = r.left();
        top_ = r.top();
        right_ = r.right();
        bottom_ = r.bottom();
    }
}

void TraceRaster::StartTrace() {
    traces_.push_back({runs_.size(), runs_.size(), 0, 0});
}

void TraceRaster::EndTrace(QRgb color) {
    Flush(color);
    traces_.back().End = runs_.size();
}

void TraceRaster::PolylineBySegments(const std::vector<PicturePoint>& points, QRgb color) {
    if (right_ < left_ || bits_ == nullptr) {
        return;
    }
    StartTrace();
    for (std::size_t i = 1; i < points.size(); ++i) {
        Segment(points[i - 1], points[i], color);
    }
    if (points.size() == 1) {
        Segment(points[0], points[0], color);
    }
    EndTrace(color);
}

void TraceRaster::Polyline(const std::vector<PicturePoint>& points, QRgb color) {
    if (right_ < left_ || bits_ == nullptr) {
        return;  // an empty clip: nothing of any segment is inside
    }
    StartTrace();
    if (points.size() == 1) {
        Segment(points[0], points[0], color);
        EndTrace(color);
        return;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PicturePoint a = points[i - 1];
        const PicturePoint b = points[i];
        if (!Inside(a) || !Inside(b)) {
            Segment(a, b, color);
            continue;
        }
        const int dx = b.X - a.X;
        if (dx == 0) {
            AddRun(a.X, std::min(a.Y, b.Y), std::max(a.Y, b.Y), color);
        } else if (dx == 1 || dx == -1) {
            // The walk of a joint to the next column stays in a's column for the first
            // (d - 1) / 2 + 1 rows and takes the rest in b's (one row each when it is level).
            const int d = std::abs(b.Y - a.Y);
            if (d == 0) {
                AddRun(a.X, a.Y, a.Y, color);
                AddRun(b.X, b.Y, b.Y, color);
                continue;
            }
            const int sy = b.Y > a.Y ? 1 : -1;
            const int last = a.Y + sy * ((d - 1) / 2);
            AddRun(a.X, std::min(a.Y, last), std::max(a.Y, last), color);
            AddRun(b.X, std::min(last + sy, b.Y), std::max(last + sy, b.Y), color);
        } else {
            Walk(a.X, a.Y, b.X, b.Y, color);
        }
    }
    EndTrace(color);
}

void TraceRaster::Walk(int x0, int y0, int x1, int y1, QRgb color) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        AddRun(x0, y0, y0, color);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void TraceRaster::Segment(PicturePoint a, PicturePoint b, QRgb color) {
    int x0 = a.X;
    int y0 = a.Y;
    int x1 = b.X;
    int y1 = b.Y;
    const QRect clip(QPoint(left_, top_), QPoint(right_, bottom_));
    if (!Inside(a) || !Inside(b)) {
        double fx0 = x0, fy0 = y0, fx1 = x1, fy1 = y1;
        if (!ClipSegment(fx0, fy0, fx1, fy1, clip)) {
            return;
        }
        x0 = static_cast<int>(std::lround(fx0));
        y0 = static_cast<int>(std::lround(fy0));
        x1 = static_cast<int>(std::lround(fx1));
        y1 = static_cast<int>(std::lround(fy1));
    }
    if (x0 == x1) {
        AddRun(x0, std::min(y0, y1), std::max(y0, y1), color);
        return;
    }
    // The integer walk over whichever axis is longer, pixel by pixel inside the clip.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        if (Inside({x0, y0})) {
            AddRun(x0, y0, y0, color);
        }
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void TraceRaster::WriteRows(std::size_t begin, std::size_t end, int from, int to) {
    for (std::size_t i = begin; i < end; ++i) {
        const Run run = runs_[i];
        const int top = std::max(run.Top, from);
        const int bottom = std::min(run.Bottom, to);
        QRgb* pixel = bits_ + static_cast<qsizetype>(top) * stride_ + run.X;
        for (int n = bottom - top; n >= 0; --n, pixel += stride_) {
            *pixel = run.Color;
        }
    }
}

bool TraceRaster::WriteTileLastFirst(int tile, int from, int to) {
    for (Covered& column : covered_) {
        column.Count = 0;
    }
    for (auto trace = traces_.rbegin(); trace != traces_.rend(); ++trace) {
        for (std::size_t i = trace->TileBegin; i < trace->TileEnd; ++i) {
            const Run run = runs_[i];
            const int top = std::max(run.Top, from);
            const int bottom = std::min(run.Bottom, to);
            if (top > bottom) {
                continue;
            }
            Covered& column = covered_[static_cast<std::size_t>(run.X - tile)];
            QRgb* const base = bits_ + run.X;
            auto write = [&](int first, int last) {
                QRgb* pixel = base + static_cast<qsizetype>(first) * stride_;
                for (int n = last - first; n >= 0; --n, pixel += stride_) {
                    *pixel = run.Color;
                }
            };
            // The rows no later trace has taken, between the taken pieces (kept sorted).
            int next = top;
            int merged = 0;
            int mergedTop = top;
            int mergedBottom = bottom;
            int insertAt = column.Count;
            for (int k = 0; k < column.Count; ++k) {
                const int pieceTop = column.Top[k];
                const int pieceBottom = column.Bottom[k];
                if (pieceBottom + 1 < top) {
                    continue;
                }
                if (pieceTop > bottom + 1) {
                    insertAt = std::min(insertAt, k);
                    break;
                }
                // This piece touches the run: it joins the new piece.
                if (pieceTop > next && next <= bottom) {
                    write(next, std::min(pieceTop - 1, bottom));
                }
                next = std::max(next, pieceBottom + 1);
                mergedTop = std::min(mergedTop, pieceTop);
                mergedBottom = std::max(mergedBottom, pieceBottom);
                if (merged == 0) {
                    insertAt = k;
                }
                ++merged;
            }
            if (next <= bottom) {
                write(next, bottom);
            }
            // The pieces insertAt .. insertAt + merged - 1 become one.
            const int count = column.Count - merged + 1;
            if (count > Covered::Capacity) {
                return false;
            }
            if (merged == 0) {
                for (int k = column.Count; k > insertAt; --k) {
                    column.Top[k] = column.Top[k - 1];
                    column.Bottom[k] = column.Bottom[k - 1];
                }
            } else {
                for (int k = insertAt + 1; k + merged - 1 < column.Count; ++k) {
                    column.Top[k] = column.Top[k + merged - 1];
                    column.Bottom[k] = column.Bottom[k + merged - 1];
                }
            }
            column.Top[insertAt] = mergedTop;
            column.Bottom[insertAt] = mergedBottom;
            column.Count = count;
        }
    }
    return true;
}

void TraceRaster::Fill(int left, int right, int from, int to) {
    const QRgb color = *background_;
    QRgb* row = bits_ + static_cast<qsizetype>(from) * stride_;
    for (int y = from; y <= to; ++y, row += stride_) {
        std::fill(row + left, row + right + 1, color);
    }
}

void TraceRaster::Finish() {
    if (bits_ == nullptr) {
        return;
    }
    if (right_ < left_) {
        // An empty clip: nothing to fill or draw.
    } else if (leftward_) {
        // Every run in the order drawn, a band of rows at a time.
        if (background_) {
            Fill(left_, right_, top_, bottom_);
        }
        for (int from = top_; from <= bottom_; from += TileRows) {
            WriteRows(0, runs_.size(), from, std::min(from + TileRows - 1, bottom_));
        }
    } else if (background_ || !runs_.empty()) {
        for (Trace& trace : traces_) {
            trace.TileEnd = trace.Begin;
        }
        // Tiles start on a multiple of 16 pixels, where a row's cache line starts.
        for (int tile = left_ & ~(TileColumns - 1); tile <= right_; tile += TileColumns) {
            const int tileRight = tile + TileColumns - 1;
            for (Trace& trace : traces_) {
                trace.TileBegin = trace.TileEnd;
                while (trace.TileEnd < trace.End && runs_[trace.TileEnd].X <= tileRight) {
                    ++trace.TileEnd;
                }
            }
            for (int from = top_; from <= bottom_; from += TileRows) {
                const int to = std::min(from + TileRows - 1, bottom_);
                if (background_) {
                    Fill(std::max(tile, left_), std::min(tileRight, right_), from, to);
                }
                // Last trace first, each pixel once; when a column's taken rows fall into too
                // many pieces, every trace in order over what was written.
                if (!WriteTileLastFirst(tile, from, to)) {
                    for (const Trace& trace : traces_) {
                        WriteRows(trace.TileBegin, trace.TileEnd, from, to);
                    }
                }
            }
        }
    }
    runs_.clear();
    traces_.clear();
    bits_ = nullptr;
}

}  // namespace kresograf
