#include <QPainter>
#include <random>

#include "gui/view/trace_raster.h"

#include "gui_fixture.h"

namespace kresograf {
namespace {

constexpr uint32_t Red = 0x0000FF;  // 0x00BBGGRR
constexpr uint32_t Yellow = 0x00FFFF;

Picture BasePicture() {
    Picture picture;
    picture.Width = 200;
    picture.Height = 120;
    picture.HasPlot = true;
    picture.Plot = {20, 10, 180, 110};
    picture.FillPlot = true;
    picture.RaisedEdge = true;
    picture.Clip = {22, 12, 178, 108};
    picture.GridColor = 0x606060;
    return picture;
}

QImage Paint(const Picture& picture) {
    QImage image = MakeBackBuffer(picture.Width, picture.Height);
    QPainter painter(&image);
    PaintPicture(painter, picture, LabelFont());
    return image;
}

TEST(PicturePainter, BackgroundPlotEdgeTracesClippingAndLabels) {
    Picture picture = BasePicture();
    // One pixel column: from y 30 to y 50, both ends included.
    picture.Traces.push_back({0, Red, {{50, 30}, {50, 50}}});
    // A trace that leaves the plot far below and comes back: cut at the clip rectangle.
    picture.Traces.push_back({1, Yellow, {{100, 60}, {101, 32767}, {102, -32768}, {103, 60}}});
    picture.Labels.push_back({" 1.000 ", {20, 60}, LabelAlign::BaselineRight, 0xFFFFFF});
    picture.Labels.push_back({" 0.50 ", {100, 118}, LabelAlign::BaselineCentre, 0x000000});
    const QImage image = Paint(picture);
    const QRgb red = qRgb(255, 0, 0);
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(image.pixel(199, 119), qRgb(192, 192, 192));
    EXPECT_EQ(image.pixel(60, 100), qRgb(0, 0, 0));
    // The raised edge: light outer top-left, black outer bottom-right, white inner top-left.
    EXPECT_EQ(image.pixel(20, 10), qRgb(223, 223, 223));
    EXPECT_EQ(image.pixel(179, 109), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(21, 11), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(178, 108), qRgb(128, 128, 128));

    EXPECT_EQ(CountColor(image, QRect(50, 30, 1, 21), red), 21);
    EXPECT_EQ(CountColor(image, image.rect(), red), 21);

    // Inside the clip the excursion is drawn to the clip's edges and no further.
    EXPECT_EQ(image.pixel(101, 107), yellow);
    EXPECT_EQ(image.pixel(101, 12), yellow);
    EXPECT_EQ(CountColor(image, QRect(0, 108, 200, 12), yellow), 0);
    EXPECT_EQ(CountColor(image, QRect(0, 0, 200, 12), yellow), 0);

    // A right-aligned label ends at its anchor; a centred one straddles it. Text is smoothed, so
    // its pixels are told by differing from the grey around them. (The grid's dots are the next
    // test's.)
    auto inked = [&](const QRect& area) {
        return area.width() * area.height() - CountColor(image, area, qRgb(192, 192, 192));
    };
    EXPECT_GT(inked(QRect(0, 50, 19, 12)), 5);
    EXPECT_EQ(inked(QRect(0, 0, 200, 10)), 0);
    EXPECT_GT(inked(QRect(80, 110, 20, 10)), 3);
    EXPECT_GT(inked(QRect(100, 110, 20, 10)), 3);
    EXPECT_EQ(inked(QRect(0, 110, 70, 10)), 0);
}

TEST(PicturePainter, BitsWrittenDirectlyMatchThePainter) {
    // Grid lines of every length up to 40 both ways along both axes, some ending outside the
    // clip, some wholly outside, a single point, a slanted one; traces under them.
    Picture picture = BasePicture();
    for (int n = 0; n <= 40; ++n) {
        const int x = 14 + 4 * n;
        picture.Grid.insert(picture.Grid.end(), {{x, 5 + n},
                                                 {x, 5 + 2 * n},
                                                 {x + 1, 110 - n},
                                                 {x + 1, 60 - n},
                                                 {x + 2, 12},
                                                 {x + 2, 12 + n}});
        const int y = 8 + 2 * n;
        picture.Grid.insert(picture.Grid.end(),
                            {{15 + n, y}, {15 + 3 * n, y}, {185 - n, y + 1}, {185 - 4 * n, y + 1}});
    }
    picture.Grid.insert(
        picture.Grid.end(),
        {{200, 50}, {200, 60}, {30, 30}, {80, 90}, {100, 50}, {100, 50}, {42, 110}, {42, 10}});
    picture.Traces.push_back({0, Red, {{42, 100}, {42, 20}}});
    picture.Traces.push_back({1, Yellow, {{60, 30}, {60, 90}}});
    const QImage direct = Paint(picture);
    const QRgb red = qRgb(255, 0, 0);
    // Not a 32-bit premultiplied or opaque image: everything goes through the painter.
    QImage painted(picture.Width, picture.Height, QImage::Format_ARGB32);
    QPainter painter(&painted);
    PaintPicture(painter, picture, LabelFont());
    painter.end();
    EXPECT_EQ(direct, painted.convertToFormat(QImage::Format_RGB32));
    // A single point, and every third pixel from the line's first point over the trace.
    const QRgb grid = qRgb(0x60, 0x60, 0x60);
    EXPECT_EQ(direct.pixel(100, 50), grid);
    const std::vector<QRgb> column{direct.pixel(42, 95), direct.pixel(42, 96), direct.pixel(42, 97),
                                   direct.pixel(42, 98), direct.pixel(42, 99)};
    EXPECT_EQ(column, (std::vector<QRgb>{grid, red, red, grid, red}));
    EXPECT_EQ(CountColor(direct, QRect(0, 0, 200, 12), grid), 0);
}

TEST(PicturePainter, ColumnRunsWriteTheSamePixelsAsTheSegmentWalk) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> step(0, 3);
    std::uniform_int_distribution<int> y(-40, 160);
    const QRect clip(5, 7, 150, 100);
    for (int round = 0; round < 300; ++round) {
        // Column pairs as the reduction gives them, some columns skipped, some points outside
        // the clip, the far ends at the 16-bit limits.
        std::vector<PicturePoint> points{{-32768, y(rng)}};
        for (int x = 0; x < 170; x += 1 + (step(rng) == 0 ? step(rng) * 3 : 0)) {
            const int first = y(rng);
            const int second = round % 3 == 0 ? y(rng) : y(rng) / 4 + 50;
            const int low = std::min(first, second);
            const int high = std::max(first, second);
            points.insert(points.end(), {{x, low}, {x, high}});
        }
        points.push_back({32767, y(rng)});
        if (round % 7 == 0) {
            points.resize(1 + round % 5);
        }
        QImage fast = MakeBackBuffer(180, 130);
        fast.fill(Qt::black);
        QImage walked = fast;
        TraceRaster(fast, clip).Polyline(points, qRgb(255, 0, 0));
        TraceRaster(walked, clip).PolylineBySegments(points, qRgb(255, 0, 0));
        ASSERT_EQ(fast, walked) << "round " << round;
    }
}

TEST(PicturePainter, OverlappingTracesLeaveTheLastOneOnTop) {
    // Up to twelve traces over the same columns, tall runs and short ones: drawn together they must
    // leave what drawing them one after the other leaves.
    std::mt19937 rng(5);
    const QRect clip(3, 9, 300, 280);
    for (int round = 0; round < 40; ++round) {
        const int traces = 2 + round % 11;
        const int height = round % 2 == 0 ? 300 : 12;
        std::uniform_int_distribution<int> y(0, 300);
        std::uniform_int_distribution<int> length(0, height);
        QImage together = MakeBackBuffer(320, 300);
        together.fill(qRgb(9, 9, 9));
        QImage apart = together;
        apart.fill(qRgb(9, 9, 9));
        TraceRaster raster;
        raster.Begin(together, clip, qRgb(0, 0, 0));
        {
            QPainter painter(&apart);
            painter.fillRect(clip, Qt::black);
        }
        for (int t = 0; t < traces; ++t) {
            // Some traces keep to a narrow level band each, so a column holds many pieces.
            const int level = y(rng);
            std::vector<PicturePoint> points;
            for (int x = round % 5; x < 310; ++x) {
                const int top = round % 4 == 1 ? level : y(rng);
                points.insert(points.end(), {{x, top}, {x, top + length(rng)}});
            }
            const QRgb color = qRgb(20 * t, 255 - 20 * t, 7 * t);
            raster.Polyline(points, color);
            TraceRaster(apart, clip).Polyline(points, color);
        }
        raster.Finish();
        ASSERT_EQ(together, apart) << "round " << round;
    }
}

}  // namespace
}  // namespace kresograf
