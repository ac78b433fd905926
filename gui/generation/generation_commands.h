#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "card/card_outputs.h"
#include "gui/generation/output_dialog.h"

class QDialog;
class QWidget;

namespace kresograf {

class AcquisitionRunner;
class FileDialog;
class AppFrame;
class CardPort;

// The "&Generacja" commands: the generator, the formula output and the two outputs from a file.
// They open modal dialogs that start and stop the card's outputs; they are disabled while an
// acquisition runs, and a started output keeps playing after its dialog closes.
class GenerationCommands {
  public:
    // card: the link the outputs use; runner: no output starts while it works.
    GenerationCommands(AppFrame& frame, CardPort& card, const AcquisitionRunner& runner);

    CardOutputs& Outputs() { return outputs_; }
    PlayingOutputs& Playing() { return playing_; }

    // Tests answer the sample-file question and see each dialog instead of running it modally.
    std::function<QString(QWidget* owner)> AskSampleFile;
    std::function<void(QDialog& dialog)> RunDialog;

  private:
    void RunFileOutput(bool digital);

    AppFrame& frame_;
    CardOutputs outputs_;
    PlayingOutputs playing_;
};

// The open dialog for a sample file, "*.dat" first.
std::unique_ptr<FileDialog> SampleFileDialog(QWidget* owner);

}  // namespace kresograf
