#pragma once

#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "document/zefra_krg_doc.h"
#include "view/picture_painter.h"
#include "view/plot_view.h"

namespace kresograf {

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

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Does what the plot view asked for after an operation.
    void Apply(const ViewResponse& response);
    void RenderAndRedraw();
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
};

}  // namespace kresograf
