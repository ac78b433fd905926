#pragma once

#include <QDialog>
#include <string>

#include "document/data_export.h"

class QCheckBox;

namespace kresograf {

class CChannelGrid;
class AppFrame;
class CZefraKrgDoc;
class FramePrompts;

// "Eksport do formatu ASCII" (CSV, HDF5 as the file's extension says): the time column and the
// present inputs to write. OK writes the file (completely, or not at all), showing its progress
// with Cancel when it takes long; Cancel writes nothing. HDF5 always carries the time.
class CExportAsciiDlg : public QDialog {
    Q_OBJECT

  public:
    // sourceName: the document's file name, which HDF5 records.
    CExportAsciiDlg(const CZefraKrgDoc& doc, std::string path, FramePrompts& prompts,
                    QWidget* parent = nullptr, std::string sourceName = {});

    QCheckBox* TimeBox() const { return writeTime_; }
    CChannelGrid* Grid() const { return grid_; }

    void accept() override;

  private:
    const CZefraKrgDoc& doc_;
    std::string path_;
    std::string sourceName_;
    ExportFormat format_;
    FramePrompts& prompts_;
    QCheckBox* writeTime_ = nullptr;
    CChannelGrid* grid_ = nullptr;
};

// "formatu &ASCII": asks for the file (tab-separated text, CSV or HDF5), then for the columns,
// and writes the active document's shown data. Registered with its rule: not while the document
// acquires.
void RegisterExportCommands(AppFrame& frame);

}  // namespace kresograf
