#include "gui/generation/output_dialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QPushButton>

#include "base/rate_table.h"
#include "card/card_outputs.h"
#include "generation/generation_texts.h"
#include "gui/shell/frame_prompts.h"

namespace kresograf {

OutputDialog::OutputDialog(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                           FramePrompts& prompts, QWidget* parent)
    : QDialog(parent),
      outputs_(outputs),
      playing_(playing),
      portAddress_(portAddress),
      prompts_(prompts) {
    setModal(true);
}

QHBoxLayout* OutputDialog::BesideButtons(QLayout* fields, QPushButton* close) {
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* row = new QHBoxLayout;
    row->addLayout(fields, 1);
    row->addSpacing(8);
    row->addLayout(buttons);
    return row;
}

void OutputDialog::CreateStartStop() {
    start_ = new QPushButton(CoreText(texts::StartOutput));
    start_->setObjectName("IDC_1037");
    // Start stays the default button: while it is off (generating) Enter does nothing, and no
    // button takes Enter by having the focus.
    start_->setDefault(true);
    start_->setAutoDefault(false);
    stop_ = new QPushButton(CoreText(texts::StopOutput));
    stop_->setObjectName("IDC_1038");
    stop_->setAutoDefault(false);
    connect(start_, &QPushButton::clicked, this, [this] { Start(); });
    connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
    SetGenerating(false);
}

bool OutputDialog::Generating() const {
    return stop_->isEnabled();
}

void OutputDialog::SetGenerating(bool generating) {
    start_->setEnabled(!generating);
    stop_->setEnabled(generating);
}

bool OutputDialog::CardAccepted(int result) {
    if (result != 0) {
        Tell(OutputFailedMessage());
        return false;
    }
    return true;
}

void OutputDialog::Tell(const UserMessage& message) {
    prompts_.ShowMessage(this, message);
}

QComboBox* OutputDialog::CreateRateList() {
    auto* list = new QComboBox;
    list->setObjectName("IDC_1021");
    for (std::size_t row = 0; row < UnprescaledRateCount; ++row) {
        const RateEntry& entry = RateTable()[row];
        list->addItem(QString::fromStdString(RateLabel(entry)), entry.Divisor);
    }
    list->setCurrentIndex(static_cast<int>(DefaultRateRow));
    return list;
}

void OutputDialog::Stop() {
    if (CardAccepted(outputs_.Stop(portAddress_))) {
        SetGenerating(false);
    }
}

}  // namespace kresograf
