#include "gui/shell/properties_sheet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "acquisition/params_pages.h"
#include "base/translation.h"
#include "document/recordings_folder.h"
#include "gui/view/picture_painter.h"
#include "gui/widgets/channel_grid.h"
#include "shell/shell_texts.h"

namespace kresograf {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

uint32_t RefFromColor(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | static_cast<uint32_t>(color.green()) << 8 |
           static_cast<uint32_t>(color.blue()) << 16;
}

std::optional<uint32_t> AskColor(QWidget* owner, uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(ColorFromRef(initial), owner);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return RefFromColor(chosen);
}

}  // namespace

CColorPreview::CColorPreview(CMyPropertyPage1& page, QWidget* parent)
    : QWidget(parent), page_(page) {
    setObjectName("IDC_1015");
    setMinimumSize(120, 60);
}

void CColorPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const PreviewLines lines = PreviewGeometry(width(), height());
    const int object = page_.Object();
    if (object >= 0 && object < 8) {
        painter.setPen(QPen(ColorFromRef(page_.ObjectColor(object)), 0));
        painter.drawLine(0, lines.TraceY, width(), lines.TraceY);
    }
    painter.setPen(QPen(ColorFromRef(page_.ObjectColor(8)), 0, Qt::DotLine));
    for (int y : lines.GridY) {
        painter.drawLine(0, y, width(), y);
    }
    for (int x : lines.GridX) {
        painter.drawLine(x, 0, x, height());
    }
}

CMyPropertyPage1::CMyPropertyPage1(PropertiesValues& values, QWidget* parent)
    : QWidget(parent), values_(values), chooser_(AskColor) {
    setObjectName("IDD_PROPPAGE_COLORS");
    objects_ = new QComboBox;
    objects_->setObjectName("IDC_1009");
    for (int i = 1; i <= 8; ++i) {
        objects_->addItem(QString::fromStdString(ChannelName(i)));
    }
    objects_->addItem(Utf8(Tr(properties_texts::Grid)));
    objects_->setCurrentIndex(0);
    preview_ = new CColorPreview(*this);
    choose_ = new QPushButton(Utf8(Tr(properties_texts::ChooseColor)));
    choose_->setObjectName("IDC_1010");
    negate_ = new QCheckBox(Utf8(Tr(properties_texts::NegateOnPrint)));
    negate_->setObjectName("IDC_1016");
    negate_->setChecked(values_.NegateOnPrint != 0);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(Utf8(Tr(properties_texts::ObjectCaption))), 0, 0);
    layout->addWidget(objects_, 1, 0);
    layout->addWidget(choose_, 1, 1);
    layout->addWidget(preview_, 2, 0, 1, 2);
    layout->addWidget(negate_, 3, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(objects_, &QComboBox::currentIndexChanged, preview_, [this] { preview_->update(); });
    connect(choose_, &QPushButton::clicked, this, &CMyPropertyPage1::ChooseColor);
    connect(negate_, &QCheckBox::toggled, this,
            [this](bool on) { values_.NegateOnPrint = on ? 1 : 0; });
}

int CMyPropertyPage1::Object() const {
    return objects_->currentIndex();
}

uint32_t CMyPropertyPage1::ObjectColor(int object) const {
    return object == 8 ? values_.GridColor : values_.ChannelColors[object];
}

void CMyPropertyPage1::ChooseColor() {
    const int object = Object();
    if (object < 0 || object > 8) {
        return;
    }
    const std::optional<uint32_t> chosen = chooser_(this, ObjectColor(object));
    if (!chosen) {
        return;
    }
    if (object == 8) {
        values_.GridColor = *chosen;
    } else {
        values_.ChannelColors[object] = *chosen;
    }
    preview_->repaint();
}

CMyPropertyPage2::CMyPropertyPage2(PropertiesValues& values, QWidget* parent)
    : QWidget(parent), values_(values) {
    setObjectName("IDD_PROPPAGE_CARD");
    addresses_ = new QComboBox;
    addresses_->setObjectName("IDC_1017");
    for (const std::string& item : AddressItems()) {
        addresses_->addItem(QString::fromStdString(item));
    }
    addresses_->setMaxVisibleItems(16);
    addresses_->setCurrentIndex(AddressIndex(values_.PortAddress));
    grid_ = new CChannelGrid;
    grid_->setObjectName("IDC_1019");
    grid_->SetRowHeight(20);
    grid_->setMinimumHeight(20 + 8 * 20 + 4);
    grid_->InsertColumn(0, Utf8(Tr(properties_texts::ChannelColumn)), 70);
    grid_->InsertColumn(1, Utf8(Tr(properties_texts::GainColumn)), -1);
    const QStringList gains = {Utf8(Tr(properties_texts::Gains[0])),
                               Utf8(Tr(properties_texts::Gains[1]))};
    for (int i = 0; i < 8; ++i) {
        grid_->AppendRow({GridCell::MakeText(QString::fromStdString(ChannelName(i + 1))),
                          GridCell::MakeChoice(gains, GainChoice(values_.ChannelGain[i]))});
    }

    auto* layout = new QVBoxLayout(this);
    auto* address = new QHBoxLayout;
    address->addWidget(new QLabel(Utf8(Tr(properties_texts::AddressCaption))));
    address->addWidget(addresses_);
    layout->addLayout(address);
    layout->addWidget(grid_, 1);
}

void CMyPropertyPage2::showEvent(QShowEvent* event) {
    shown_ = true;
    QWidget::showEvent(event);
}

void CMyPropertyPage2::OnOk() {
    if (!shown_) {
        return;
    }
    values_.PortAddress = AddressOfIndex(addresses_->currentIndex(), values_.PortAddress);
    for (int i = 0; i < 8; ++i) {
        values_.ChannelGain[i] = GainOfChoice(grid_->Value(i, 1));
    }
}

CRecordingsPage::CRecordingsPage(PropertiesValues& values, QWidget* parent)
    : QWidget(parent), values_(values) {
    setObjectName("IDD_PROPPAGE_RECORDINGS");
    folder_ = new QLineEdit(QString::fromStdString(values_.RecordingsFolder));
    folder_->setObjectName("IDC_RECORDINGS_FOLDER");
    auto* browse = new QPushButton(Utf8(Tr(properties_texts::Browse)));
    browse->setObjectName("IDC_RECORDINGS_BROWSE");
    auto* standard = new QPushButton(Utf8(Tr(properties_texts::DefaultFolder)));
    standard->setObjectName("IDC_RECORDINGS_DEFAULT");
    auto* note = new QLabel(Utf8(Tr(properties_texts::RecordingsFolderNote)));
    note->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Utf8(Tr(properties_texts::RecordingsFolderCaption))));
    layout->addWidget(folder_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(browse);
    buttons->addWidget(standard);
    layout->addLayout(buttons);
    layout->addWidget(note);
    layout->addStretch(1);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, Utf8(Tr(properties_texts::RecordingsPage)), folder_->text());
        if (!chosen.isEmpty()) {
            folder_->setText(chosen);
        }
    });
    connect(standard, &QPushButton::clicked, this,
            [this] { folder_->setText(QString::fromStdString(DefaultRecordingsFolder())); });
}

void CRecordingsPage::OnOk() {
    values_.RecordingsFolder = folder_->text().trimmed().toStdString();
}

CMyPropertySheet::CMyPropertySheet(const PropertiesValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setObjectName("CMyPropertySheet");
    setWindowTitle(Utf8(Tr(properties_texts::Title)));
    tabs_ = new QTabWidget;
    colors_ = new CMyPropertyPage1(values_);
    card_ = new CMyPropertyPage2(values_);
    recordings_ = new CRecordingsPage(values_);
    tabs_->addTab(colors_, Utf8(Tr(properties_texts::ColorsPage)));
    tabs_->addTab(card_, Utf8(Tr(properties_texts::CardPage)));
    tabs_->addTab(recordings_, Utf8(Tr(properties_texts::RecordingsPage)));
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(Utf8(Tr(texts::Ok)), QDialogButtonBox::AcceptRole);
    ok->setObjectName("IDOK");
    ok->setDefault(true);
    buttons->addButton(Utf8(Tr(properties_texts::Cancel)), QDialogButtonBox::RejectRole)
        ->setObjectName("IDCANCEL");
    connect(buttons, &QDialogButtonBox::accepted, this, &CMyPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMyPropertySheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    resize(340, 360);
}

void CMyPropertySheet::accept() {
    card_->OnOk();
    recordings_->OnOk();
    if (Check && !Check(values_)) {
        return;
    }
    QDialog::accept();
}

}  // namespace kresograf
