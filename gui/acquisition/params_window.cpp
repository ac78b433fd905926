#include "gui/acquisition/params_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <mutex>

#include "base/frame_link.h"
#include "base/rate_table.h"
#include "base/translation.h"
#include "document/zefra_krg_doc.h"
#include "gui/widgets/channel_grid.h"
#include "gui/widgets/tool_window_keys.h"

namespace kresograf {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

void SetIndexQuietly(QComboBox* list, int index) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(index);
}

QStringList NoYes() {
    return {Utf8(Tr(params_texts::No)), Utf8(Tr(params_texts::Yes))};
}

}  // namespace

void ParamsBinding::Edit(const std::function<void(AcquisitionParams&, TriggerParams&)>& f) const {
    if (doc_ == nullptr) {
        return;
    }
    std::lock_guard lock(doc_->ParamsMutex);
    f(doc_->Params[which_], doc_->Triggers[which_]);
}

// --- page "Ogólne" ------------------------------------------------------------------------------

CKanalyPropertyPage1::CKanalyPropertyPage1(MessageSink messages, QWidget* parent)
    : QWidget(parent), messages_(std::move(messages)) {
    setObjectName("IDD_PAGE_GENERAL");
    rateList_ = new QComboBox;
    rateList_->setObjectName("IDC_1021");
    for (std::size_t row = 0; row < RateCount; ++row) {
        rateList_->addItem(Utf8(kresograf::RateLabel(RateTable()[row])));
    }
    // A list of the 52 rates opens about twelve rows tall; styles that open a popup over the
    // box ignore the row limit unless told not to pop up that way.
    rateList_->setMaxVisibleItems(12);
    rateList_->setStyleSheet(QStringLiteral("combobox-popup: 0;"));
    applyRate_ = new QPushButton(Utf8(Tr(params_texts::ApplyRate)));
    applyRate_->setObjectName("IDC_1055");
    applyRate_->setFixedWidth(28);
    rateLabel_ = new QLabel;
    rateLabel_->setObjectName("IDC_1045");
    rateLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rateLabel_->setMinimumWidth(70);
    durationLabel_ = new QLabel;
    durationLabel_->setObjectName("IDC_1044");
    durationLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    durationEdit_ = new QLineEdit;
    durationEdit_->setObjectName("IDC_1022");
    unitList_ = new QComboBox;
    unitList_->setObjectName("IDC_1047");
    for (const char* unit : params_texts::Units) {
        unitList_->addItem(Utf8(Tr(unit)));
    }
    // Points up at the edit and the unit list, whose values it applies.
    applyDuration_ = new QPushButton(QStringLiteral("             ^                      ^"));
    applyDuration_->setObjectName("IDC_1054");
    applyDuration_->setFlat(true);
    differential_ = new QCheckBox(Utf8(Tr(params_texts::Differential)));
    differential_->setObjectName("IDC_1024");
    differential_->setLayoutDirection(Qt::RightToLeft);
    grid_ = new CChannelGrid;
    grid_->setObjectName("IDC_1023");
    status_ = new QLabel;
    status_->setObjectName("IDC_1025");
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::RateCaption))), 0, 0, 1, 3);
    layout->addWidget(rateList_, 1, 0);
    layout->addWidget(applyRate_, 1, 1);
    layout->addWidget(rateLabel_, 1, 2);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::DurationCaption))), 2, 0, 1, 2);
    layout->addWidget(durationLabel_, 2, 2);
    auto* duration = new QHBoxLayout;
    duration->addWidget(durationEdit_, 3);
    duration->addWidget(unitList_, 2);
    layout->addLayout(duration, 3, 0, 1, 3);
    layout->addWidget(applyDuration_, 4, 0, 1, 3, Qt::AlignLeft);
    layout->addWidget(differential_, 5, 0, 1, 3, Qt::AlignAbsolute | Qt::AlignLeft);
    layout->addWidget(grid_, 6, 0, 1, 3);
    layout->addWidget(status_, 7, 0, 1, 3);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(6, 1);

    grid_->SetRowHeight(20);
    grid_->SetReserveScrollBar(true);
    grid_->InsertColumn(0, Utf8(Tr(params_texts::ChannelColumn)), 70);
    grid_->InsertColumn(1, Utf8(Tr(params_texts::ActiveColumn)), -1);
    for (int row = 0; row < 8; ++row) {
        grid_->AppendRow(
            {GridCell::MakeText(Utf8(ChannelName(row + 1))), GridCell::MakeToggle(NoYes(), 0)});
    }
    grid_->setMinimumHeight(20 + 6 * 20 + 4);

    connect(applyRate_, &QPushButton::clicked, this, &CKanalyPropertyPage1::OnApplyRate);
    connect(applyDuration_, &QPushButton::clicked, this, &CKanalyPropertyPage1::OnApplyDuration);
    connect(durationEdit_, &QLineEdit::returnPressed, this, &CKanalyPropertyPage1::OnApplyDuration);
    connect(differential_, &QCheckBox::clicked, this, &CKanalyPropertyPage1::OnDifferential);
    connect(grid_, &CChannelGrid::Notify, this, &CKanalyPropertyPage1::OnGridNotify);
    Show(true);
}

void CKanalyPropertyPage1::LoadFromParams() {
    if (!binding_.Bound()) {
        return;
    }
    bool all = true;
    binding_.Edit(
        [&](AcquisitionParams& params, TriggerParams&) { all = LoadGeneral(page_, params); });
    Show(all);
}

void CKanalyPropertyPage1::StoreToParams() {
    if (!binding_.Bound()) {
        return;
    }
    page_.Differential = differential_->isChecked();
    binding_.Edit([&](AcquisitionParams& params, TriggerParams& trigger) {
        StoreGeneral(page_, params, trigger);
    });
}

void CKanalyPropertyPage1::SetStatus(uint32_t code) {
    const std::string_view text = StatusText(code);
    status_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void CKanalyPropertyPage1::OnApplyRate() {
    page_.RateSelection = rateList_->currentIndex();
    binding_.Edit([&](AcquisitionParams& params, TriggerParams&) { ApplyRate(page_, params); });
    Show(false);
}

void CKanalyPropertyPage1::OnApplyDuration() {
    const std::optional<float> typed = ParseEditValue(durationEdit_->text().toStdString());
    page_.Unit = unitList_->currentIndex();
    if (!typed) {
        messages_(this, NotANumberMessage());
        durationEdit_->setFocus();
        durationEdit_->selectAll();
    }
    binding_.Edit(
        [&](AcquisitionParams& params, TriggerParams&) { ApplyDuration(page_, params, typed); });
    if (!binding_.Bound()) {
        // Nothing to apply to; the edit keeps what it showed.
        return;
    }
    Show(false);
    durationEdit_->setText(Utf8(FormatEditValue(page_.DurationValue)));
}

void CKanalyPropertyPage1::OnDifferential(bool on) {
    if (!binding_.Bound()) {
        return;
    }
    binding_.Edit([&](AcquisitionParams& params, TriggerParams& trigger) {
        SetDifferential(page_, params, trigger, on);
    });
    SyncGridRows();
    if (on) {
        grid_->ScrollToTop();
    }
}

void CKanalyPropertyPage1::OnGridNotify(int row, int column) {
    if (column != 1 || row >= static_cast<int>(page_.Active.size())) {
        return;
    }
    page_.Active[row] = grid_->Value(row, 1) == 1;
    binding_.Edit([&](AcquisitionParams& params, TriggerParams& trigger) {
        ChannelsToggled(page_, params, trigger);
    });
}

void CKanalyPropertyPage1::SyncGridRows() {
    const int rows = static_cast<int>(page_.Active.size());
    while (grid_->RowCount() > rows) {
        grid_->DeleteLastRow();
    }
    while (grid_->RowCount() < rows) {
        const int row = grid_->RowCount();
        grid_->AppendRow(
            {GridCell::MakeText(Utf8(ChannelName(row + 1))), GridCell::MakeToggle(NoYes(), 0)});
    }
    for (int row = 0; row < rows; ++row) {
        grid_->SetValue(row, 1, page_.Active[row] ? 1 : 0);
    }
    grid_->Refresh();
}

void CKanalyPropertyPage1::Show(bool all) {
    differential_->setChecked(page_.Differential);
    SyncGridRows();
    durationLabel_->setText(Utf8(page_.DurationText));
    rateLabel_->setText(Utf8(page_.RateText));
    if (all) {
        SetIndexQuietly(rateList_, page_.RateSelection);
        SetIndexQuietly(unitList_, page_.Unit);
        durationEdit_->setText(Utf8(FormatEditValue(page_.DurationValue)));
    }
}

// --- page "Wyzwalanie"
// ----------------------------------------------------------------------------

CKanalyPropertyPage2::CKanalyPropertyPage2(QWidget* parent) : QWidget(parent) {
    setObjectName("IDD_PAGE_TRIGGER");
    edgeList_ = new QComboBox;
    edgeList_->setObjectName("IDC_1026");
    for (const char* edge : params_texts::Edges) {
        edgeList_->addItem(Utf8(Tr(edge)));
    }
    typeList_ = new QComboBox;
    typeList_->setObjectName("IDC_1028");
    for (const char* type : params_texts::Types) {
        typeList_->addItem(Utf8(Tr(type)));
    }
    channelList_ = new QComboBox;
    channelList_->setObjectName("IDC_1027");
    threshold_ = new QLineEdit;
    threshold_->setObjectName("IDC_1029");
    threshold_->setEnabled(false);
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName("IDC_1046");
    slider_->setRange(0, 1000);
    slider_->setTickInterval(100);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setPageStep(100);
    slider_->setSingleStep(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::EdgeCaption))), 0, 0);
    layout->addWidget(edgeList_, 0, 1);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::TypeCaption))), 1, 0);
    layout->addWidget(typeList_, 1, 1);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::ChannelCaption))), 2, 0);
    layout->addWidget(channelList_, 2, 1);
    layout->addWidget(new QLabel(Utf8(Tr(params_texts::ThresholdCaption))), 3, 0);
    layout->addWidget(threshold_, 3, 1);
    layout->addWidget(slider_, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);

    connect(edgeList_, &QComboBox::activated, this, [this](int index) {
        binding_.Edit([&](AcquisitionParams&, TriggerParams& trigger) {
            TriggerEdgeChosen(page_, trigger, index);
        });
        Show();
    });
    connect(typeList_, &QComboBox::activated, this, [this](int index) {
        binding_.Edit([&](AcquisitionParams& params, TriggerParams& trigger) {
            TriggerTypeChosen(page_, params, trigger, index);
        });
        Show();
    });
    connect(channelList_, &QComboBox::activated, this, [this](int index) {
        binding_.Edit([&](AcquisitionParams&, TriggerParams& trigger) {
            TriggerChannelChosen(page_, trigger, index);
        });
    });
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (showing_) {
            return;
        }
        page_.SliderPos = position;
        page_.ThresholdVolts = VoltsFromSlider(position);
        binding_.Edit([&](AcquisitionParams&, TriggerParams& trigger) {
            TriggerSliderMoved(page_, trigger, position);
        });
        threshold_->setText(Utf8(FormatEditValue(page_.ThresholdVolts)));
    });
    Show();
}

void CKanalyPropertyPage2::LoadFromParams() {
    binding_.Edit([&](AcquisitionParams& params, TriggerParams& trigger) {
        LoadTrigger(page_, params, trigger);
    });
    if (binding_.Bound()) {
        Show();
    }
}

void CKanalyPropertyPage2::StoreToParams() {
    binding_.Edit(
        [&](AcquisitionParams&, TriggerParams& trigger) { StoreTrigger(page_, trigger); });
}

void CKanalyPropertyPage2::Show() {
    showing_ = true;
    SetIndexQuietly(edgeList_, page_.Edge);
    SetIndexQuietly(typeList_, page_.Type);
    {
        const QSignalBlocker block(channelList_);
        channelList_->clear();
        for (const auto& item : page_.Channels) {
            channelList_->addItem(Utf8(item.Text), item.Channel);
        }
        channelList_->setCurrentIndex(page_.ChannelSelection);
    }
    slider_->setValue(page_.SliderPos);
    threshold_->setText(Utf8(FormatEditValue(page_.ThresholdVolts)));
    edgeList_->setEnabled(page_.EdgeEnabled);
    typeList_->setEnabled(page_.TypeEnabled);
    channelList_->setEnabled(page_.ChannelEnabled);
    slider_->setEnabled(page_.SliderEnabled);
    showing_ = false;
}

// --- the window -------------------------------------------------------------------------------

CKanalyPropertyFrame::CKanalyPropertyFrame(MessageSink messages, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName("CKanalyPropertyFrame");
    setWindowTitle(Utf8(Tr(params_texts::WindowTitle)));
    sheet_ = new QTabWidget;
    general_ = new CKanalyPropertyPage1(std::move(messages));
    trigger_ = new CKanalyPropertyPage2;
    sheet_->addTab(general_, Utf8(Tr(params_texts::GeneralPage)));
    sheet_->addTab(trigger_, Utf8(Tr(params_texts::TriggerPage)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(sheet_);
    connect(sheet_, &QTabWidget::currentChanged, this, &CKanalyPropertyFrame::OnPageChanged);
    KeepKeysInWindow(*this);
    resize(300, 430);
}

CKanalyPropertyFrame::~CKanalyPropertyFrame() {
    // Taking the pages down must not store into a block.
    disconnect(sheet_, nullptr, this, nullptr);
    Unbind();
}

void CKanalyPropertyFrame::OnPageChanged(int index) {
    if (active_ == 0) {
        general_->StoreToParams();
    } else {
        trigger_->StoreToParams();
    }
    active_ = index;
    LoadPage(index);
}

void CKanalyPropertyFrame::LoadPage(int index) {
    if (index == 0) {
        general_->LoadFromParams();
    } else {
        trigger_->LoadFromParams();
    }
}

void CKanalyPropertyFrame::Bind(CZefraKrgDoc* doc) {
    general_->Binding().Point(doc, 0);
    trigger_->Binding().Point(doc, 0);
    LoadPage(active_);
}

void CKanalyPropertyFrame::Rebind(CZefraKrgDoc* doc, int which) {
    general_->Binding().Point(doc, which);
    trigger_->Binding().Point(doc, which);
    general_->LoadFromParams();
    trigger_->LoadFromParams();
}

void CKanalyPropertyFrame::Unbind() {
    general_->Binding().Point(nullptr, 0);
    trigger_->Binding().Point(nullptr, 0);
}

void CKanalyPropertyFrame::RunningChanged() {
    LoadPage(active_);
}

void CKanalyPropertyFrame::ShowOver(const QWidget& owner) {
    if (!placed_) {
        placed_ = true;
        const QRect area = owner.frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
}

void CKanalyPropertyFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CKanalyPropertyFrame::SetStatus(uint32_t code) {
    general_->SetStatus(code);
}

}  // namespace kresograf
