#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

#include "gui/view/picture_painter.h"
#include "view/picture.h"
#include "view/spectrum_view.h"

class QPainter;
class QPaintDevice;

namespace kresograf {

struct SettingsRecord;

// The spectrum window's plot: paints the picture core describes into a back buffer, in the
// plot windows' label font and colours, and copies the buffer to the screen on every paint.
class CSpectrumPlot : public QWidget {
    Q_OBJECT

  public:
    CSpectrumPlot(const SettingsRecord& settings, QWidget* parent = nullptr);

    // What to show; the data's amplitudes must stay until the next call.
    void SetData(const SpectrumPlotData& data, SpectrumAxes axes);
    const QImage& BackBuffer() const { return backBuffer_; }
    const Picture& ShownPicture() const { return picture_; }
    // What the plot shows; negated: inverted inside the plot rectangle only.
    QImage ViewImage(bool negate) const;
    // The picture on paper over the painter's whole device, or the given rectangle of it.
    void PaintOnPaper(QPainter& painter, const QRect& area) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Render();

    const SettingsRecord& settings_;
    SpectrumPlotData data_;
    SpectrumAxes axes_;
    QFont font_;
    QImage backBuffer_;
    TextMeasure measure_;
    Picture picture_;
    PicturePainter painter_;
};

}  // namespace kresograf
