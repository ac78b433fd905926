#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kresograf {

struct PicturePoint {
    int32_t X = 0;
    int32_t Y = 0;

    friend bool operator==(const PicturePoint&, const PicturePoint&) = default;
};

// Left and top inclusive, right and bottom exclusive, as window rectangles are.
struct PictureRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const PictureRect&, const PictureRect&) = default;
};

// How a label's anchor point relates to its text: the anchor lies on the text's baseline, at the
// centre or at the right end of the text.
enum class LabelAlign { BaselineCentre, BaselineRight };

struct PictureLabel {
    std::string Text;
    PicturePoint Anchor;
    LabelAlign Align = LabelAlign::BaselineRight;
    uint32_t Color = 0;  // 0x00BBGGRR

    friend bool operator==(const PictureLabel&, const PictureLabel&) = default;
};

// A solid line; Width in device units (1 = one pixel).
struct PictureLine {
    PicturePoint From;
    PicturePoint To;
    uint32_t Color = 0;
    int32_t Width = 1;

    friend bool operator==(const PictureLine&, const PictureLine&) = default;
};

// One channel's trace. A polyline of exactly two points is one pixel column and is drawn as a
// line from the first point to the second with one pixel added to the second's y.
struct PictureTrace {
    int Channel = 0;
    uint32_t Color = 0;
    std::vector<PicturePoint> Points;
};

// Width and height in pixels of a text in the label font.
struct TextSize {
    int32_t Width = 0;
    int32_t Height = 0;
};
using TextMeasure = std::function<TextSize(std::string_view text)>;

// One complete picture of a plot view, in the order it is to be painted:
// background, plot rectangle, axis lines, labels, then (clipped to Clip) the traces and the grid.
struct Picture {
    bool OnScreen = true;
    int32_t Width = 0;
    int32_t Height = 0;
    // Screen only: the whole client area light grey (192, 192, 192).
    bool FillBackground = true;
    // False when the window is too small for a plot: only the background is painted.
    bool HasPlot = false;
    PictureRect Plot;
    // Screen only: the plot rectangle is filled black and then given a raised edge (outer and
    // inner raised borders on all four sides).
    bool FillPlot = false;
    bool RaisedEdge = false;
    // Paper only: the plot's top and bottom edges, then the value-axis lines.
    std::vector<PictureLine> AxisLines;
    std::vector<PictureLabel> Labels;
    PictureRect Clip;
    std::vector<PictureTrace> Traces;
    // Pairs of points, one dotted segment each; empty when the grid is off.
    std::vector<PicturePoint> Grid;
    uint32_t GridColor = 0;

    // Starts a new picture in this one's buffers: the lists emptied (their storage kept), no
    // plot yet, the background filled on screen.
    void Restart(int32_t width, int32_t height, bool onScreen) {
        Traces.clear();
        AxisLines.clear();
        Labels.clear();
        Grid.clear();
        OnScreen = onScreen;
        Width = width;
        Height = height;
        FillBackground = onScreen;
        HasPlot = false;
        Plot = {};
        FillPlot = false;
        RaisedEdge = false;
        Clip = {};
        GridColor = 0;
    }
};

}  // namespace kresograf
