#include "gui/view/markers_window.h"

#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/translation.h"
#include "gui/widgets/tool_window_keys.h"

namespace kresograf {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The tree's four 16 x 16 images: plot window, marker, channel, delta.
QIcon TreeIcon(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (index) {
        case 0:  // a small plot window with a trace
            p.setPen(QColor(64, 64, 64));
            p.setBrush(Qt::black);
            p.drawRect(0, 2, 15, 12);
            p.setPen(QColor(0, 220, 0));
            p.drawPolyline(QPolygon({{2, 10}, {5, 5}, {8, 11}, {11, 4}, {13, 8}}));
            break;
        case 1: {  // the marker symbol
            const MarkerSpritePattern sprite = MarkerSprite();
            p.setPen(QColor(200, 0, 0));
            for (int row = 0; row < MarkerSpriteSize; row += 1) {
                for (int column = 0; column < MarkerSpriteSize; ++column) {
                    if (sprite[row][column]) {
                        p.drawPoint(column * 15 / 16, row * 15 / 16);
                    }
                }
            }
            break;
        }
        case 2:  // a channel: one trace
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0, 0, 160), 1.5));
            p.drawPolyline(QPolygonF({{1, 8}, {4, 3}, {8, 13}, {12, 3}, {15, 8}}));
            break;
        default:  // delta
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(0, 110, 0), 1.5));
            p.drawPolygon(QPolygonF({{8, 2}, {14.5, 14}, {1.5, 14}}));
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

CZnacznikiDlg::CZnacznikiDlg(QWidget* owner) : QDialog(owner, Qt::Tool) {
    setObjectName(QStringLiteral("IDD_131"));
    setWindowTitle(QString::fromUtf8(Tr("Znaczniki")));
    KeepKeysInWindow(*this);
    for (int i = 0; i < 4; ++i) {
        icons_[i] = TreeIcon(i);
    }
    hide_ = new QPushButton(QString::fromUtf8(Tr("Ukryj")));
    hide_->setObjectName(QStringLiteral("IDOK"));
    hide_->setAutoDefault(false);
    connect(hide_, &QPushButton::clicked, this, &QDialog::accept);
    tree_ = new QTreeWidget;
    tree_->setObjectName(QStringLiteral("IDC_1008"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setDragEnabled(false);
    tree_->setIconSize(QSize(16, 16));
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);
    layout->addWidget(hide_, 0, Qt::AlignLeft);
    layout->addWidget(tree_, 1);
    // 147 x 197 dialog units at the usual dialog font, a little wider for the statistics.
    resize(300, 320);
}

CZnacznikiDlg::~CZnacznikiDlg() = default;

void CZnacznikiDlg::Track(QMdiSubWindow* frame) {
    connect(frame, &QWidget::windowTitleChanged, this,
            [this, frame](const QString& title) { AddPlotWindow(frame, title); });
    connect(frame, &QObject::destroyed, this, [this, frame](QObject*) { RemovePlotWindow(frame); });
    if (!frame->windowTitle().isEmpty()) {
        AddPlotWindow(frame, frame->windowTitle());
    }
}

void CZnacznikiDlg::AddPlotWindow(const QObject* frame, const QString& rawTitle) {
    QString title = rawTitle;
    title.remove(QStringLiteral("[*]"));
    if (auto found = branches_.find(frame); found != branches_.end()) {
        found->Root->setText(0, title);
        return;
    }
    // Keeps the statistics' texts in line with the marker items'.
    QPixmap empty(16, 16);
    empty.fill(Qt::transparent);
    const QIcon blank(empty);
    BranchItems branch;
    branch.Root = new QTreeWidgetItem(tree_, {title});
    branch.Root->setIcon(0, icons_[0]);
    for (int c = 0; c < 8; ++c) {
        auto* node = new QTreeWidgetItem(branch.Root, {Utf8(MarkerChannelNodeText(c))});
        node->setIcon(0, icons_[2]);
        const MarkerItemTexts texts = FormatMarkerItems(MarkerReadout{});
        const std::array<QString, 3> first{Utf8(texts.Left), Utf8(texts.Right), Utf8(texts.Delta)};
        for (int k = 0; k < ItemsPerChannel; ++k) {
            auto* item = new QTreeWidgetItem(node, {k < 3 ? first[k] : QString()});
            item->setIcon(0, k < 2 ? icons_[1] : k == 2 ? icons_[3] : blank);
            // The statistics show only while the channel's markers are on.
            item->setHidden(k >= 3);
            branch.Items[c][k] = item;
        }
    }
    branches_.insert(frame, branch);
}

void CZnacznikiDlg::RemovePlotWindow(const QObject* frame) {
    auto found = branches_.find(frame);
    if (found == branches_.end()) {
        return;
    }
    delete found->Root;
    branches_.erase(found);
}

void CZnacznikiDlg::ShowMarkers(const QObject* frame, const MarkerReadout& readout,
                                const std::optional<MarkerStatistics>& statistics) {
    auto found = branches_.find(frame);
    if (found == branches_.end() || readout.Channel < 0 || readout.Channel >= 8) {
        return;
    }
    auto& items = found->Items[readout.Channel];
    // Markers just switched on open their channel, so the user sees where they went.
    if (readout.Shown && items[3]->isHidden()) {
        found->Root->setExpanded(true);
        items[0]->parent()->setExpanded(true);
    }
    const MarkerItemTexts texts = FormatMarkerItems(readout);
    items[0]->setText(0, Utf8(texts.Left));
    items[1]->setText(0, Utf8(texts.Right));
    items[2]->setText(0, Utf8(texts.Delta));
    const bool extra = readout.Shown && statistics.has_value();
    if (extra) {
        const SampleStatistics& s = statistics->Values;
        const std::array<std::string, 6> lines{MarkerFrequencyText(statistics->DeltaSeconds),
                                               MarkerMinText(s),
                                               MarkerMaxText(s),
                                               MarkerMeanText(s),
                                               MarkerRmsText(s),
                                               MarkerPeakToPeakText(s)};
        for (int k = 0; k < 6; ++k) {
            items[3 + k]->setText(0, Utf8(lines[k]));
        }
    }
    for (int k = 3; k < ItemsPerChannel; ++k) {
        items[k]->setHidden(!extra);
    }
}

QTreeWidgetItem* CZnacznikiDlg::Branch(const QObject* frame) const {
    auto found = branches_.find(frame);
    return found != branches_.end() ? found->Root : nullptr;
}

}  // namespace kresograf
