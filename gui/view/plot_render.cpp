#include "gui/view/plot_render.h"

#include <QFile>
#include <QPainter>

#include "base/frame_link.h"
#include "base/translation.h"
#include "document/kgd_file.h"
#include "gui/view/picture_painter.h"
#include "shell/shell_texts.h"
#include "view/plot_view.h"

namespace kresograf {

QImage RenderDocumentImage(CZefraKrgDoc& doc, const SettingsRecord& settings, QSize size) {
    QImage image = MakeBackBuffer(size.width(), size.height());
    const QFont font = LabelFont();
    const TextMeasure measure = MakeTextMeasure(font, &image);
    PlotView plot(doc, &settings);
    plot.SetAxisMetrics(measure);
    plot.OnUpdate(HintInitial);
    const Picture picture = plot.BuildPicture(size.width(), size.height(), measure, true);
    QPainter painter(&image);
    PaintPicture(painter, picture, font);
    return image;
}

bool RenderDocumentFile(const QString& input, const QString& output, QSize size,
                        const SettingsRecord& settings, QString& error) {
    CZefraKrgDoc doc;
    const FileResult result = OpenDocument(doc, QFile::encodeName(input).toStdString());
    if (!result.Ok()) {
        error = result.Message ? QString::fromStdString(result.Message->Text)
                               : QString::fromUtf8(Tr(texts::FileMissingText)).arg(input);
        return false;
    }
    const QImage image = RenderDocumentImage(doc, settings, size);
    if (!image.save(output, "PNG")) {
        error = QString::fromUtf8(Tr(texts::RenderFailedText)).arg(output);
        return false;
    }
    return true;
}

}  // namespace kresograf
