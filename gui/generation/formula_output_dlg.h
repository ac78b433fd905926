#pragma once

#include <array>
#include <cstdint>

#include "gui/generation/output_dialog.h"

class QCheckBox;
class QLineEdit;

namespace kresograf {

class CChannelGrid;

// "Generacja przebiegów": the card drives its analog output from a formula over weighted inputs.
// The program computes no samples; it checks the table and hands the card its request.
class CFormulaOutputDlg : public OutputDialog {
    Q_OBJECT

  public:
    // scale and gain: the program's per-input settings (volts per stored unit, gain bytes).
    CFormulaOutputDlg(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                      FramePrompts& prompts, const std::array<float, 8>& scale,
                      const std::array<uint8_t, 8>& gain, QWidget* parent = nullptr);

    CChannelGrid* Grid() const { return grid_; }
    void accept() override;

  protected:
    void Start() override;

  private:
    void DifferentialToggled(bool on);
    void AppendRow(int row);
    // A and B as numbers; false after telling the user why not.
    bool ReadCoefficients(float& a, float& b);

    std::array<float, 8> scale_;
    std::array<uint8_t, 8> gain_;
    QComboBox* formula_ = nullptr;
    CChannelGrid* grid_ = nullptr;
    QCheckBox* differential_ = nullptr;
    QLineEdit* a_ = nullptr;
    QLineEdit* b_ = nullptr;
    QComboBox* rate_ = nullptr;
};

}  // namespace kresograf
