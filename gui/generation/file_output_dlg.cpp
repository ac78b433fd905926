#include "gui/generation/file_output_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "card/card_outputs.h"
#include "generation/generation_texts.h"

namespace kresograf {

CFileOutputDlg::CFileOutputDlg(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                               FramePrompts& prompts, SampleFile samples, QWidget* parent)
    : OutputDialog(outputs, playing, portAddress, prompts, parent), samples_(std::move(samples)) {
    setObjectName("IDD_144");
    setWindowTitle(CoreText(texts::FileOutputTitle));

    auto* kind = new QLabel(QString::fromStdString(OutputKindLabel(samples_.Digital)));
    kind->setObjectName("IDC_1040");
    auto* count = new QLabel(QString::fromStdString(ReadCountLabel(samples_.Count())));
    count->setObjectName("IDC_1041");
    rate_ = CreateRateList();

    CreateStartStop();
    auto* close = new QPushButton(CoreText(texts::FileOutputClose));
    close->setObjectName("IDOK");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* left = new QVBoxLayout;
    left->addWidget(kind);
    left->addWidget(count);
    left->addSpacing(8);
    left->addWidget(new QLabel(CoreText(texts::RateCaption)));
    left->addWidget(rate_);
    left->addStretch();
    QHBoxLayout* layout = BesideButtons(left, close);
    setLayout(layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const bool generating =
        samples_.Digital ? outputs_.DigitalPlaying() : outputs_.Analog() == AnalogOutput::File;
    if (generating) {
        rate_->setCurrentIndex(PlayingRate());
    }
    SetGenerating(generating);
}

int& CFileOutputDlg::PlayingRate() {
    return samples_.Digital ? playing_.DigitalFileRate : playing_.AnalogFileRate;
}

void CFileOutputDlg::Start() {
    const OutputRequest request{rate_->currentData().toUInt(),
                                static_cast<uint32_t>(samples_.Count()), samples_.Analog.data(),
                                samples_.Bytes.data()};
    const int result = samples_.Digital
                           ? outputs_.PlayDigital(portAddress_, request)
                           : outputs_.PlayAnalog(portAddress_, request, AnalogOutput::File);
    if (CardAccepted(result)) {
        PlayingRate() = rate_->currentIndex();
        SetGenerating(true);
    }
}

}  // namespace kresograf
