#pragma once

#include "gui/generation/output_dialog.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QSlider;

namespace kresograf {

// "Generator": a sine, square or triangle on the analog output. Start computes one second of
// signal and plays it; Koniec leaves a started output playing.
class CGeneratorDlg : public OutputDialog {
    Q_OBJECT

  public:
    CGeneratorDlg(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                  FramePrompts& prompts, QWidget* parent = nullptr);

    void accept() override;

  protected:
    void Start() override;

  private:
    void ShapeChosen(int shape);
    void ParamMoved(int value);
    // The frequency field as a number; false after telling the user why not.
    bool ReadFrequency(uint32_t& frequency);

    QButtonGroup* shapes_ = nullptr;
    QSlider* amplitude_ = nullptr;
    QSlider* offset_ = nullptr;
    QSlider* param_ = nullptr;
    QLabel* amplitudeLabel_ = nullptr;
    QLabel* offsetLabel_ = nullptr;
    QLabel* paramLabel_ = nullptr;
    QLineEdit* frequency_ = nullptr;
};

}  // namespace kresograf
