#pragma once

#include "generation/sample_file.h"
#include "gui/generation/output_dialog.h"

class QLabel;

namespace kresograf {

// "Generuj z pliku": plays the values read from a file on the analog output (volts) or on the
// digital outputs (bit patterns) at a chosen rate.
class CFileOutputDlg : public OutputDialog {
    Q_OBJECT

  public:
    CFileOutputDlg(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                   FramePrompts& prompts, SampleFile samples, QWidget* parent = nullptr);

  protected:
    void Start() override;

  private:
    // The rate this dialog's output was last started at.
    int& PlayingRate();

    SampleFile samples_;
    QComboBox* rate_ = nullptr;
};

}  // namespace kresograf
