#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace kresograf {

class CZefraKrgDoc;
struct SettingsRecord;

// The picture a new plot window shows of a document (initial update: whole recording, full
// autoscale, grid on), drawn into an image without any window.
QImage RenderDocumentImage(CZefraKrgDoc& doc, const SettingsRecord& settings, QSize size);

// Opens a .kgd file, renders it and writes a PNG. Returns false with a Polish message.
bool RenderDocumentFile(const QString& input, const QString& output, QSize size,
                        const SettingsRecord& settings, QString& error);

}  // namespace kresograf
