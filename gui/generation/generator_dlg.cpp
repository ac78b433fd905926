#include "gui/generation/generator_dlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include "card/card_outputs.h"
#include "generation/generation_texts.h"
#include "generation/waveform_generator.h"

namespace kresograf {
namespace {

// The picture at the top: one period of each of the three shapes.
QPixmap ShapesPicture() {
    QPixmap picture(300, 44);
    picture.fill(QColor(0, 0, 96));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 0), 2));
    const double top = 8;
    const double bottom = 36;
    QPainterPath sine;
    for (int x = 0; x <= 80; ++x) {
        const double y = (top + bottom) / 2 - (bottom - top) / 2 * std::sin(x / 80.0 * 6.2831853);
        x == 0 ? sine.moveTo(14 + x, y) : sine.lineTo(14 + x, y);
    }
    painter.drawPath(sine);
    painter.drawPolyline(
        QPolygonF{{110, bottom}, {110, top}, {150, top}, {150, bottom}, {190, bottom}, {190, top}});
    painter.drawPolyline(QPolygonF{{206, bottom}, {236, top}, {266, bottom}, {286, top}});
    return picture;
}

QSlider* Slider(const char* name, int lo, int hi, int ticks) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(lo, hi);
    slider->setTickInterval(ticks);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setPageStep(ticks);
    slider->setMinimumWidth(220);
    return slider;
}

QLabel* Label(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

}  // namespace

CGeneratorDlg::CGeneratorDlg(CardOutputs& outputs, PlayingOutputs& playing, uint32_t portAddress,
                             FramePrompts& prompts, QWidget* parent)
    : OutputDialog(outputs, playing, portAddress, prompts, parent) {
    setObjectName("IDD_30724");
    setWindowTitle(CoreText(texts::GeneratorTitle));

    auto* picture = new QLabel;
    picture->setPixmap(ShapesPicture());
    picture->setAlignment(Qt::AlignCenter);

    shapes_ = new QButtonGroup(this);
    auto* shapeRow = new QHBoxLayout;
    const char* names[] = {texts::Sine, texts::Square, texts::Triangle};
    for (int shape = 0; shape < 3; ++shape) {
        auto* radio = new QRadioButton(CoreText(names[shape]));
        radio->setObjectName(QStringLiteral("IDC_%1").arg(1048 + shape));
        shapes_->addButton(radio, shape);
        shapeRow->addWidget(radio);
    }
    shapes_->button(WaveSine)->setChecked(true);
    connect(shapes_, &QButtonGroup::idClicked, this, &CGeneratorDlg::ShapeChosen);

    amplitudeLabel_ = Label("IDC_1052", QString::fromStdString(AmplitudeLabel(0)));
    amplitude_ = Slider("IDC_1051", 0, MaxAmplitude, 100);
    offsetLabel_ = Label("IDC_1057", QString::fromStdString(OffsetLabel(0, true)));
    offset_ = Slider("IDC_1054", -MaxOffset, MaxOffset, 100);
    // The label keeps the empty text it is given at the start until a shape with a parameter
    // is chosen.
    paramLabel_ = Label("IDC_1056", QString());
    param_ = Slider("IDC_1055", 0, MaxParam, 10);
    paramLabel_->setEnabled(false);
    param_->setEnabled(false);
    connect(amplitude_, &QSlider::valueChanged, this, [this](int value) {
        amplitudeLabel_->setText(QString::fromStdString(AmplitudeLabel(value)));
    });
    connect(offset_, &QSlider::valueChanged, this, [this](int value) {
        offsetLabel_->setText(QString::fromStdString(OffsetLabel(value)));
    });
    connect(param_, &QSlider::valueChanged, this, &CGeneratorDlg::ParamMoved);

    frequency_ = new QLineEdit(QStringLiteral("1000"));
    frequency_->setObjectName("IDC_1053");
    frequency_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    auto* frequencyRow = new QHBoxLayout;
    frequencyRow->addWidget(new QLabel(CoreText(texts::FrequencyCaption)));
    frequencyRow->addWidget(frequency_);
    frequencyRow->addWidget(new QLabel(CoreText(texts::Hertz)));
    frequencyRow->addStretch();

    CreateStartStop();
    auto* close = new QPushButton(CoreText(texts::Close));
    close->setObjectName("IDOK");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &CGeneratorDlg::accept);

    auto* controls = new QVBoxLayout;
    controls->addLayout(shapeRow);
    for (QWidget* widget :
         {static_cast<QWidget*>(amplitudeLabel_), static_cast<QWidget*>(amplitude_),
          static_cast<QWidget*>(offsetLabel_), static_cast<QWidget*>(offset_)}) {
        controls->addWidget(widget);
    }
    controls->addLayout(frequencyRow);
    controls->addWidget(paramLabel_);
    controls->addWidget(param_);

    QHBoxLayout* body = BesideButtons(controls, close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const bool generating = outputs_.Analog() == AnalogOutput::Generator;
    if (generating) {
        const GeneratorSettings& playing = playing_.Generator;
        shapes_->button(playing.Shape)->setChecked(true);
        ShapeChosen(playing.Shape);
        amplitude_->setValue(playing.Amplitude);
        offset_->setValue(playing.Offset);
        param_->setValue(playing.Param);
        frequency_->setText(QString::number(playing.Frequency));
    }
    SetGenerating(generating);
}

void CGeneratorDlg::ShapeChosen(int shape) {
    const bool withParam = shape != WaveSine;
    param_->setEnabled(withParam);
    paramLabel_->setEnabled(withParam);
    if (withParam) {
        ParamMoved(param_->value());
    }
}

void CGeneratorDlg::ParamMoved(int value) {
    // A sine has no parameter: its label keeps what it showed.
    if (const auto label = ParamLabel(shapes_->checkedId(), value)) {
        paramLabel_->setText(QString::fromStdString(*label));
    }
}

bool CGeneratorDlg::ReadFrequency(uint32_t& frequency) {
    UserMessage message;
    if (!ParseFrequency(frequency_->text().toStdString(), frequency, message)) {
        Tell(message);
        frequency_->setFocus();
        frequency_->selectAll();
        return false;
    }
    return true;
}

void CGeneratorDlg::Start() {
    GeneratorSettings settings;
    if (!ReadFrequency(settings.Frequency)) {
        return;
    }
    settings.Shape = shapes_->checkedId();
    settings.Amplitude = amplitude_->value();
    settings.Offset = offset_->value();
    settings.Param = param_->value();
    const std::vector<float> samples = GenerateWaveform(settings);
    const OutputRequest request{GeneratorDivisor, GeneratorSamples, samples.data(), nullptr};
    if (CardAccepted(outputs_.PlayAnalog(portAddress_, request, AnalogOutput::Generator))) {
        playing_.Generator = settings;
        SetGenerating(true);
    }
}

void CGeneratorDlg::accept() {
    uint32_t frequency = 0;
    if (ReadFrequency(frequency)) {
        QDialog::accept();
    }
}

}  // namespace kresograf
