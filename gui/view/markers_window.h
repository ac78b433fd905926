#pragma once

#include <QDialog>
#include <QHash>
#include <array>
#include <optional>

#include "view/marker_statistics.h"
#include "view/marker_texts.h"

class QMdiSubWindow;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kresograf {

// The markers window: a tool window with one tree branch per plot window, listing for each
// channel its left and right marker and the difference between them, and under those the
// frequency 1/Δt and the statistics of the samples between the two markers. Closing it (the
// "Ukryj" button or Esc) only hides it.
class CZnacznikiDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CZnacznikiDlg(QWidget* owner);
    ~CZnacznikiDlg() override;

    // Follows a plot window: a branch appears when it gets a title, is renamed with it and goes
    // when the window is destroyed.
    void Track(QMdiSubWindow* frame);
    // Builds the branch of a window, or renames it when it exists.
    void AddPlotWindow(const QObject* frame, const QString& title);
    void RemovePlotWindow(const QObject* frame);
    // Rewrites one channel's items; an unknown window is ignored.
    void ShowMarkers(const QObject* frame, const MarkerReadout& readout,
                     const std::optional<MarkerStatistics>& statistics);

    QTreeWidget* Tree() const { return tree_; }
    QTreeWidgetItem* Branch(const QObject* frame) const;

  private:
    // Left, right, delta, then 1/Δt, min, max, mean, RMS and peak-to-peak.
    static constexpr int ItemsPerChannel = 9;
    struct BranchItems {
        QTreeWidgetItem* Root = nullptr;
        std::array<std::array<QTreeWidgetItem*, ItemsPerChannel>, 8> Items{};
    };

    QPushButton* hide_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::array<QIcon, 4> icons_;
    QHash<const QObject*, BranchItems> branches_;
};

}  // namespace kresograf
