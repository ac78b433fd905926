#pragma once

#include <QFont>
#include <QImage>

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

// 0x00BBGGRR as a colour.
inline QColor ColorFromRef(uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

}  // namespace kresograf
