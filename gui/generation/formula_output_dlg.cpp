#include "gui/generation/formula_output_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/fixed_format.h"
#include "card/card_outputs.h"
#include "generation/formula_output.h"
#include "generation/generation_texts.h"
#include "gui/widgets/channel_grid.h"

namespace kresograf {
namespace {

constexpr int ActiveColumn = 1;
constexpr int WeightColumn = 2;

QLineEdit* Coefficient(const char* name, float value) {
    auto* edit = new QLineEdit(QString::fromStdString(FormatFixed(value, 3)));
    edit->setObjectName(name);
    return edit;
}

}  // namespace

CFormulaOutputDlg::CFormulaOutputDlg(CardOutputs& outputs, PlayingOutputs& playing,
                                     uint32_t portAddress, FramePrompts& prompts,
                                     const std::array<float, 8>& scale,
                                     const std::array<uint8_t, 8>& gain, QWidget* parent)
    : OutputDialog(outputs, playing, portAddress, prompts, parent), scale_(scale), gain_(gain) {
    setObjectName("IDD_141");
    setWindowTitle(CoreText(texts::FormulaTitle));

    formula_ = new QComboBox;
    formula_->setObjectName("IDC_1028");
    formula_->addItems(
        {CoreText(texts::FormulaLinear), CoreText(texts::FormulaLog), CoreText(texts::FormulaExp)});
    formula_->setCurrentIndex(FormulaLinear);

    grid_ = new CChannelGrid;
    grid_->setObjectName("IDC_1032");
    grid_->SetRowHeight(20);
    grid_->SetReserveScrollBar(true);
    grid_->InsertColumn(0, CoreText(texts::ColumnChannel), 70);
    grid_->InsertColumn(1, CoreText(texts::ColumnActive), 70);
    grid_->InsertColumn(2, CoreText(texts::ColumnWeight), -1);
    for (int row = 0; row < SingleEndedRows; ++row) {
        AppendRow(row);
    }
    grid_->setFixedSize(300, 8 * 20 + grid_->horizontalHeader()->sizeHint().height() + 4);

    differential_ = new QCheckBox(CoreText(texts::Differential));
    differential_->setObjectName("IDC_1034");
    // The box stands to the right of its text.
    differential_->setLayoutDirection(Qt::RightToLeft);
    connect(differential_, &QCheckBox::toggled, this, &CFormulaOutputDlg::DifferentialToggled);

    a_ = Coefficient("IDC_1035", 1.0f);
    b_ = Coefficient("IDC_1036", 1.0f);
    rate_ = CreateRateList();

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(CoreText(texts::CoefACaption)), 0, 0);
    fields->addWidget(a_, 0, 1);
    fields->addWidget(new QLabel(CoreText(texts::CoefBCaption)), 1, 0);
    fields->addWidget(b_, 1, 1);
    fields->addWidget(new QLabel(CoreText(texts::RateCaption)), 2, 0);
    fields->addWidget(rate_, 2, 1);

    CreateStartStop();
    auto* close = new QPushButton(CoreText(texts::Close));
    close->setObjectName("IDOK");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &CFormulaOutputDlg::accept);

    auto* left = new QVBoxLayout;
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(CoreText(texts::FormulaTypeCaption)));
    typeRow->addWidget(formula_, 1);
    left->addLayout(typeRow);
    left->addWidget(new QLabel(CoreText(texts::WeightedSum)));
    left->addWidget(grid_);
    auto* differentialRow = new QHBoxLayout;
    differentialRow->addWidget(differential_);
    differentialRow->addStretch();
    left->addLayout(differentialRow);
    left->addLayout(fields);

    QHBoxLayout* layout = BesideButtons(left, close);
    setLayout(layout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const bool generating = outputs_.Analog() == AnalogOutput::Formula;
    if (generating) {
        const FormulaSettings& playing = playing_.Formula;
        formula_->setCurrentIndex(playing.Formula);
        differential_->setChecked(playing.Differential);
        for (int row = 0; row < grid_->RowCount(); ++row) {
            grid_->SetValue(row, ActiveColumn, playing.Active[row] ? 1 : 0);
            grid_->SetText(row, WeightColumn, QString::fromStdString(playing.Weights[row]));
        }
        a_->setText(QString::fromStdString(FormatFixed(playing.A, 3)));
        b_->setText(QString::fromStdString(FormatFixed(playing.B, 3)));
        rate_->setCurrentIndex(static_cast<int>(playing.RateRow));
    }
    SetGenerating(generating);
}

void CFormulaOutputDlg::AppendRow(int row) {
    grid_->AppendRow(
        {GridCell::MakeText(QString::fromStdString(ChannelRowLabel(row)), row),
         GridCell::MakeToggle({CoreText(texts::ActiveNo), CoreText(texts::ActiveYes)}, 0),
         GridCell::MakeEdit(QString::fromStdString(DefaultWeightText()))});
}

void CFormulaOutputDlg::DifferentialToggled(bool on) {
    if (on) {
        for (int i = 0; i < SingleEndedRows - DifferentialRows; ++i) {
            grid_->DeleteLastRow();
        }
        grid_->ScrollToTop();
    } else {
        for (int row = DifferentialRows; row < SingleEndedRows; ++row) {
            AppendRow(row);
        }
    }
}

bool CFormulaOutputDlg::ReadCoefficients(float& a, float& b) {
    UserMessage message;
    for (auto [edit, value] : {std::pair{a_, &a}, std::pair{b_, &b}}) {
        if (!ParseCoefficient(edit->text().toStdString(), *value, message)) {
            Tell(message);
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    }
    return true;
}

void CFormulaOutputDlg::Start() {
    FormulaSettings settings;
    if (!ReadCoefficients(settings.A, settings.B)) {
        return;
    }
    settings.Formula = static_cast<int8_t>(formula_->currentIndex());
    settings.Differential = differential_->isChecked();
    for (int row = 0; row < grid_->RowCount(); ++row) {
        settings.Active[row] = grid_->Value(row, ActiveColumn) == 1;
        settings.Weights[row] = grid_->Text(row, WeightColumn).toStdString();
    }
    settings.RateRow = static_cast<std::size_t>(rate_->currentIndex());
    settings.ChannelScale = scale_;
    settings.ChannelGain = gain_;
    FormulaRequest request;
    UserMessage message;
    if (!BuildFormulaRequest(settings, request, message)) {
        Tell(message);
        return;
    }
    if (CardAccepted(outputs_.PlayFormula(portAddress_, request))) {
        playing_.Formula = settings;
        SetGenerating(true);
    }
}

void CFormulaOutputDlg::accept() {
    float a = 0.0f;
    float b = 0.0f;
    if (ReadCoefficients(a, b)) {
        QDialog::accept();
    }
}

}  // namespace kresograf
