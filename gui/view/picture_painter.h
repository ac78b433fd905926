#pragma once

#include <QFont>
#include <QImage>
#include <QLine>
#include <QStaticText>
#include <QVector>
#include <string>
#include <unordered_map>

#include "gui/view/trace_raster.h"
#include "view/picture.h"

class QPainter;
class QPaintDevice;

namespace kresograf {

// The plot labels' font: Arial 7 pt (Liberation Sans where Arial is not installed).
QFont LabelFont();
// A back buffer of the given size, at 96 dots per inch so 7 pt is the same size everywhere.
QImage MakeBackBuffer(int width, int height);
// Measures texts in the label font as painted on the device.
TextMeasure MakeTextMeasure(const QFont& font, QPaintDevice* device);
// Paints a complete picture: background, plot, axis lines, labels, then the traces and the grid
// clipped to the picture's clip rectangle.
void PaintPicture(QPainter& painter, const Picture& picture, const QFont& font);

// The same, for a window that paints picture after picture: keeps what one picture leaves for
// the next (each label text laid out once, the grid's line list). Into a 32-bit image at an
// identity transform the fills and traces are written straight into the image's bits; any other
// device takes the painter's own drawing, pixel for pixel the same.
class PicturePainter {
  public:
    explicit PicturePainter(const QFont& font) : font_(font) {}

    void Paint(QPainter& painter, const Picture& picture);

  private:
    struct LabelLayout {
        QStaticText Text;
        int Width = 0;
    };
    // Lays labels out anew when the device's resolution differs from the last one's.
    void PrepareLabels(QPaintDevice* device);
    // No label's ink can reach into area.
    bool LabelsClearOf(const Picture& picture, const QRect& area, QPaintDevice* device);
    void PaintLabels(QPainter& painter, const Picture& picture, bool direct);
    const LabelLayout& Layout(const std::string& text, QPaintDevice* device);

    QFont font_;
    std::unordered_map<std::string, LabelLayout> labels_;
    int labelDpi_ = 0;
    int ascent_ = 0;
    int height_ = 0;
    QVector<QLine> grid_;
    TraceRaster raster_;
};

// 0x00BBGGRR as a colour.
inline QColor ColorFromRef(uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

}  // namespace kresograf
