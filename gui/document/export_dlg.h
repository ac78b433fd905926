#pragma once

#include <QDialog>
#include <string>

class QCheckBox;

namespace kresograf {

class CChannelGrid;
class AppFrame;
class CZefraKrgDoc;
class FramePrompts;

// "Eksport do formatu ASCII": the time column and the present inputs to write. OK writes the
// file (completely, or not at all); Cancel writes nothing.
class CExportAsciiDlg : public QDialog {
    Q_OBJECT

  public:
    CExportAsciiDlg(const CZefraKrgDoc& doc, std::string path, FramePrompts& prompts,
                    QWidget* parent = nullptr);

    QCheckBox* TimeBox() const { return writeTime_; }
    CChannelGrid* Grid() const { return grid_; }

    void accept() override;

  private:
    const CZefraKrgDoc& doc_;
    std::string path_;
    FramePrompts& prompts_;
    QCheckBox* writeTime_ = nullptr;
    CChannelGrid* grid_ = nullptr;
};

// "formatu &ASCII": asks for the file, then for the columns, and writes the active document's
// shown data. Registered with its rule: not while the document acquires.
void RegisterExportCommands(AppFrame& frame);

}  // namespace kresograf
