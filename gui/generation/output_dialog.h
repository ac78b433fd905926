#pragma once

#include <QDialog>

class QHBoxLayout;
class QLayout;
#include <cstdint>

#include "base/rate_table.h"
#include "base/translation.h"
#include "generation/formula_output.h"
#include "generation/waveform_generator.h"

class QComboBox;
class QPushButton;

namespace kresograf {

class CardOutputs;
class FramePrompts;
struct UserMessage;

// What the dialogs last started on the card, kept while the program runs: a dialog opened again
// while its output plays shows what plays.
struct PlayingOutputs {
    GeneratorSettings Generator;
    FormulaSettings Formula;
    int AnalogFileRate = static_cast<int>(DefaultRateRow);
    int DigitalFileRate = static_cast<int>(DefaultRateRow);
};

// What the three output dialogs share: the card's outputs, the card's address, the message boxes
// and the Start/Stop pair with its two states (idle: Start enabled; generating: Stop enabled).
class OutputDialog : public QDialog {
    Q_OBJECT

  public:
    OutputDialog(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                 FramePrompts& prompts, QWidget* parent);

    bool Generating() const;

  protected:
    // The "Start generacji" and "Stop generacji" buttons; Start is the default button.
    void CreateStartStop();
    // The dialog's fields with the button column beside them: Start, Stop and, at the bottom,
    // close.
    QHBoxLayout* BesideButtons(QLayout* fields, QPushButton* close);
    void SetGenerating(bool generating);
    // Shows the card link's failure when result is not 0; true when it is 0.
    bool CardAccepted(int result);
    void Tell(const UserMessage& message);
    // The sampling rates without prescaling, "%d Hz", with the 1 000 Hz row chosen.
    QComboBox* CreateRateList();
    virtual void Start() = 0;
    void Stop();

    CardOutputs& outputs_;
    PlayingOutputs& playing_;
    const uint32_t portAddress_;
    FramePrompts& prompts_;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
};

// One of core's texts as shown: in the user's language.
inline QString CoreText(const char* text) {
    return QString::fromUtf8(Tr(text));
}

}  // namespace kresograf
