#pragma once

#include <QImage>
#include <QRect>
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "view/picture.h"

namespace kresograf {

// Writes one-pixel solid polylines straight into a 32-bit image, cut to a clip rectangle. Each
// segment covers the pixels of the integer line walk from its first point to its last, both
// ends included; a segment that leaves the clip is first cut to it and its ends rounded.
//
// A trace is mostly vertical column runs joined to the next column, so the fast path keeps the
// run of the current column open and widens it with every piece that falls into the same column
// (the column's own run and the halves of the joints on either side). Pieces of one trace share
// a colour, so the order in which they are written cannot show. Anything else takes the general
// walk, whose pixels become runs too.
//
// The runs are only recorded at first; Finish writes them tile by tile: 16 columns (a cache line
// of pixels) by a band of rows, the last trace first, each pixel only by the last trace over it.
// A pixel therefore ends up with the same colour as if each run had been written at once in
// order, but it is written once, and a tile stays in the first-level cache while all traces go
// into it. Written at once, a tall run touches a new cache line on every row, and by the time the
// next column or the next trace comes to the same lines they are gone.
class TraceRaster {
  public:
    TraceRaster() = default;
    // The image must be Format_RGB32 or Format_ARGB32_Premultiplied.
    TraceRaster(QImage& image, const QRect& clip) { Begin(image, clip); }
    ~TraceRaster() { Finish(); }
    TraceRaster(const TraceRaster&) = delete;
    TraceRaster& operator=(const TraceRaster&) = delete;

    // Starts drawing into image; the buffers of the last picture are kept. With a background,
    // Finish first fills the clip with it, tile by tile just before the traces go in.
    void Begin(QImage& image, const QRect& clip, std::optional<QRgb> background = std::nullopt);
    void Polyline(const std::vector<PicturePoint>& points, QRgb color);
    // Every segment by the general walk, one after the other: the definition Polyline keeps to.
    void PolylineBySegments(const std::vector<PicturePoint>& points, QRgb color);
    // Writes what was drawn since Begin into the image; also done on destruction.
    void Finish();

  private:
    // One column run: rows Top..Bottom of column X, all inside the clip.
    struct Run {
        int32_t X = 0;
        int32_t Top = 0;
        int32_t Bottom = 0;
        QRgb Color = 0;
    };
    // The runs of one polyline, and how far the tiles have taken them.
    struct Trace {
        std::size_t Begin = 0;
        std::size_t End = 0;
        std::size_t TileBegin = 0;
        std::size_t TileEnd = 0;
    };

    bool Inside(PicturePoint p) const {
        return static_cast<unsigned>(p.X - left_) <= static_cast<unsigned>(right_ - left_) &&
               static_cast<unsigned>(p.Y - top_) <= static_cast<unsigned>(bottom_ - top_);
    }
    void StartTrace();
    void EndTrace(QRgb color);
    // The general walk, any segment, clipped.
    void Segment(PicturePoint a, PicturePoint b, QRgb color);
    // The walk of a segment known to lie inside the clip.
    void Walk(int x0, int y0, int x1, int y1, QRgb color);
    // Adds rows top..bottom of column x to the open run, or records the open run and opens this.
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
            // A polyline whose runs go back to the left cannot be cut into tiles in one pass.
            leftward_ =
                leftward_ || (runs_.size() > traces_.back().Begin && runX_ < runs_.back().X);
            runs_.push_back({runX_, runTop_, runBottom_, color});
            runX_ = NoRun;
        }
    }
    // Rows from..to of the runs [begin, end), each cut to them.
    void WriteRows(std::size_t begin, std::size_t end, int from, int to);
    // Rows from..to of the tile of 16 columns from column tile, the last trace first and each
    // pixel only by the last trace over it. False when it gave up (some pixels written).
    bool WriteTileLastFirst(int tile, int from, int to);
    // Columns left..right of rows from..to in the background.
    void Fill(int left, int right, int from, int to);

    static constexpr int NoRun = -0x40000000;
    QRgb* bits_ = nullptr;
    qsizetype stride_ = 0;
    std::vector<Run> runs_;
    std::vector<Trace> traces_;
    bool leftward_ = false;
    std::optional<QRgb> background_;
    // Per column of a tile, the rows later traces have taken: sorted pieces, apart by a row.
    struct Covered {
        static constexpr int Capacity = 8;
        int Count = 0;
        std::array<int, Capacity> Top{};
        std::array<int, Capacity> Bottom{};
    };
    std::array<Covered, 16> covered_{};
    int left_ = 0;
    int top_ = 0;
    int right_ = -1;
    int bottom_ = -1;
    int runX_ = NoRun;
    int runTop_ = 0;
    int runBottom_ = 0;
};

}  // namespace kresograf
