#pragma once

#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "document/zefra_krg_doc.h"
#include "gui/view/picture_painter.h"
#include "view/plot_view.h"

namespace kresograf {

class CZnacznikiDlg;
struct GuiDocument;
struct SettingsRecord;

// One plot window's contents. The core plot view holds the scales and describes the picture;
// this widget paints that description into its back buffer and copies the buffer to the screen
// on every paint. The picture is rebuilt only on the events that change it: a resize, a document
// update and the scale commands, and, while a recording of the document runs, at most ten
// times a second as its scans arrive. The worker never waits for this.
class CZefraKrgView : public QWidget {
    Q_OBJECT

  public:
    CZefraKrgView(GuiDocument& document, const SettingsRecord& settings, QWidget* parent = nullptr);
    ~CZefraKrgView() override;

    GuiDocument& Document() const { return document_; }
    PlotView& Plot() { return *plot_; }
    const QImage& BackBuffer() const { return backBuffer_; }
    // How many times the picture was rebuilt; tests use it to see what an event caused.
    int RenderCount() const { return renderCount_; }

    // The document changed (hint as WM_DOC_UPDATE carries it): rebuild and show at once.
    void OnUpdate(uint32_t hint);
    // Rebuilds the back buffer from the document and the scales.
    void RenderPlot();
    // The "&Narzędzia" scale commands.
    void RunScaleCommand(int id);
    CommandState ScaleCommandState(int id) const;

    // Does what the plot view asked for after an operation: the markers window first, then the
    // picture. A message in the response is the caller's to show.
    void Apply(const ViewResponse& response);
    // The markers window this view reports to (it lives as long as the main frame).
    void SetMarkersWindow(CZnacznikiDlg* window) { markersWindow_ = window; }
    // Sends one channel's markers to the markers window.
    void UpdateMarkersWindow(int channel);
    // What the view shows, markers included; negated: inverted inside the plot rectangle only.
    QImage ViewImage(bool negate);
    // Puts ViewImage on the clipboard.
    void CopyToClipboard(bool negate);

  Q_SIGNALS:
    // A new picture was built, or a channel's markers changed: what the view shows is new.
    void ShownChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void RenderAndRedraw();
    void PaintMarkers(QPainter& painter);
    void PaintRubberBand(QPainter& painter);
    const QImage& Sprite(int channel, uint32_t color);
    // The scales as a drag found them, so Escape can put them back.
    struct DragStart {
        int32_t XStart = 0;
        int32_t XEnd = 0;
        std::array<int32_t, 8> YMin{};
        std::array<int32_t, 8> YMax{};
        PictureRect ZoomRect;
    };
    void BeginDrag();
    void CancelDrag();
    void ShowRecordingProgress();

    GuiDocument& document_;
    const SettingsRecord& settings_;
    std::unique_ptr<PlotView> plot_;
    QFont font_;
    QImage backBuffer_;
    // Kept from picture to picture so that rendering again allocates nothing.
    TextMeasure measure_;
    Picture picture_;
    PicturePainter painter_;
    QTimer liveTimer_;
    int renderCount_ = 0;
    CZnacznikiDlg* markersWindow_ = nullptr;
    std::array<QImage, 8> sprites_;
    std::array<uint32_t, 8> spriteColors_{};
    DragStart dragStart_;
    // A render that took longer than a frame shows the wait cursor on the next one.
    qint64 lastRenderMs_ = 0;
};

}  // namespace kresograf
