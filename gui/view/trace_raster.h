#pragma once

#include <QImage>
#include <QRect>
#include <vector>

#include "view/picture.h"

namespace kresograf {

// Writes one-pixel solid polylines straight into a 32-bit image, cut to a clip rectangle. Each
// segment covers the pixels of the integer line walk from its first point to its last, both
// ends included; a segment that leaves the clip is first cut to it and its ends rounded.
//
// A trace is mostly vertical column runs joined to the next column, so the fast path keeps the
// run of the current column open and widens it with every piece that falls into the same column
// (the column's own run and the halves of the joints on either side); each column is then
// written once, by a loop down the image's rows. Pieces of one trace share a colour, so the
// order in which they are written cannot show. Anything else takes the general walk.
class TraceRaster {
  public:
    // The image must be Format_RGB32 or Format_ARGB32_Premultiplied.
    TraceRaster(QImage& image, const QRect& clip);

    void Polyline(const std::vector<PicturePoint>& points, QRgb color);
    // Every segment by the general walk, one after the other: the definition Polyline keeps to.
    void PolylineBySegments(const std::vector<PicturePoint>& points, QRgb color);

  private:
    bool Inside(PicturePoint p) const {
        return static_cast<unsigned>(p.X - left_) <= static_cast<unsigned>(right_ - left_) &&
               static_cast<unsigned>(p.Y - top_) <= static_cast<unsigned>(bottom_ - top_);
    }
    // The general walk, any segment, clipped.
    void Segment(PicturePoint a, PicturePoint b, QRgb color);
    // The walk of a segment known to lie inside the clip.
    void Walk(int x0, int y0, int x1, int y1, QRgb color);
    // Rows top..bottom of column x, all inside the clip.
    void Run(int x, int top, int bottom, QRgb color) {
        QRgb* pixel = bits_ + static_cast<qsizetype>(top) * stride_ + x;
        for (int n = bottom - top; n >= 0; --n, pixel += stride_) {
            *pixel = color;
        }
    }
    // Adds rows top..bottom of column x to the open run, or writes the open run and opens this.
    void AddRun(int x, int top, int bottom, QRgb color) {
        if (x == runX_ && top <= runBottom_ + 1 && bottom + 1 >= runTop_) {
            runTop_ = std::min(runTop_, top);
            runBottom_ = std::max(runBottom_, bottom);
            return;
        }
        Flush(color);
        runX_ = x;
        runTop_ = top;
        runBottom_ = bottom;
    }
    void Flush(QRgb color) {
        if (runX_ != NoRun) {
            Run(runX_, runTop_, runBottom_, color);
            runX_ = NoRun;
        }
    }

    static constexpr int NoRun = -0x40000000;
    QRgb* bits_;
    qsizetype stride_;
    int left_ = 0;
    int top_ = 0;
    int right_ = -1;
    int bottom_ = -1;
    int runX_ = NoRun;
    int runTop_ = 0;
    int runBottom_ = 0;
};

}  // namespace kresograf
