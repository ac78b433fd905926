#pragma once

#include <QAbstractTableModel>
#include <QListWidget>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

class QLineEdit;

namespace kresograf {

// What one cell of a channel table holds and how the user changes it.
enum class GridCellKind {
    Text = 0,    // fixed text
    Choice = 1,  // one of Choices, picked from a drop-down list
    Toggle = 2,  // one of two Choices ("Nie", "Tak"), flipped by its box
    Edit = 4,    // text the user types
};

struct GridCell {
    GridCellKind Kind = GridCellKind::Text;
    // Text and Edit cells: the text shown.
    QString Text;
    // Choice and Toggle cells: the strings Value picks from.
    QStringList Choices;
    // Choice and Toggle cells: index into Choices. Text cells: free for the caller (a channel
    // number, say).
    int Value = 0;

    static GridCell MakeText(const QString& text, int value = 0) {
        return {GridCellKind::Text, text, {}, value};
    }
    static GridCell MakeChoice(const QStringList& choices, int value) {
        return {GridCellKind::Choice, {}, choices, value};
    }
    static GridCell MakeToggle(const QStringList& choices, int value) {
        return {GridCellKind::Toggle, {}, choices, value};
    }
    static GridCell MakeEdit(const QString& text) { return {GridCellKind::Edit, text, {}, 0}; }

    // What the cell shows: its text, or the choice Value picks.
    QString Shown() const;
};

class CChannelGrid;

// The rows and column titles behind the grid.
class ChannelGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    friend class CChannelGrid;
    QStringList titles_;
    std::vector<std::vector<GridCell>> rows_;
};

// The drop-down list of a Choice cell: a press picks the item under the pointer, dragging
// follows it, the release takes it; Enter takes the current item, Escape closes.
class ChannelGridPopup : public QListWidget {
    Q_OBJECT

  public:
    explicit ChannelGridPopup(QWidget* parent);

  Q_SIGNALS:
    void Chosen(int index);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A small table of typed cells for per-channel settings: fixed texts, drop-down choices, toggles
// and editable texts, with a column header and fixed-height rows. Only the selected row shows the
// drop and toggle buttons; a drop-down list or a text editor exists for that row alone and closes
// when the selection moves or the grid scrolls. Keyboard: arrows move, Space toggles or opens the
// row's list (F4 and Alt+Down open it too), F2 or typing edits a text cell.
class CChannelGrid : public QTableView {
    Q_OBJECT

  public:
    explicit CChannelGrid(QWidget* parent = nullptr);

    void SetRowHeight(int pixels);
    int RowHeight() const { return rowHeight_; }
    // Adds a column at index with a title; width -1 gives it the rest of the grid's width. When
    // reserveScrollBar is set the rest leaves room for a vertical scroll bar. Dragging the
    // dividers is not offered.
    void InsertColumn(int index, const QString& title, int width);
    void SetReserveScrollBar(bool reserve);

    // Appends a row (its cells copied) and returns its index.
    int AppendRow(const std::vector<GridCell>& cells);
    // Closes any list or editor and removes the last row.
    void DeleteLastRow();
    int RowCount() const { return static_cast<int>(model_.rows_.size()); }

    const GridCell& Cell(int row, int column) const { return model_.rows_[row][column]; }
    int Value(int row, int column) const { return Cell(row, column).Value; }
    QString Text(int row, int column) const { return Cell(row, column).Text; }
    // Sets a cell's value or text without notifying.
    void SetValue(int row, int column, int value);
    void SetText(int row, int column, const QString& text);

    // Closes the drop-down list and redraws every row.
    void Refresh();
    void ScrollToTop();

    // The button of a Choice or Toggle cell, in viewport coordinates (empty for other cells).
    QRect ButtonRect(int row, int column) const;
    // The open drop-down list, or null.
    ChannelGridPopup* Popup() const { return popup_; }

  Q_SIGNALS:
    // A toggle was flipped, a drop-down list opened, or a choice taken from one.
    void Notify(int row, int column);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    friend class ChannelGridDelegate;
    void Press(int row, int column);
    void OpenPopup(int row, int column);
    void ClosePopup();
    void CloseEditor();
    void LayoutColumns();
    int FirstButtonColumn(int row) const;

    ChannelGridModel model_;
    QPointer<ChannelGridPopup> popup_;
    QPointer<QLineEdit> editor_;
    int popupRow_ = -1;
    int popupColumn_ = -1;
    QModelIndex pressed_;
    bool pressedSelected_ = false;
    int rowHeight_ = 20;
    bool reserveScrollBar_ = false;
    std::vector<int> widths_;
};

}  // namespace kresograf
