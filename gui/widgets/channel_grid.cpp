#include "gui/widgets/channel_grid.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace kresograf {

QString GridCell::Shown() const {
    if (Kind == GridCellKind::Choice || Kind == GridCellKind::Toggle) {
        return Value >= 0 && Value < Choices.size() ? Choices[Value] : QString();
    }
    return Text;
}

// --- model -----------------------------------------------------------------------------------

int ChannelGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChannelGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant ChannelGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        index.column() >= static_cast<int>(rows_[index.row()].size())) {
        return {};
    }
    const GridCell& cell = rows_[index.row()][index.column()];
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole) {
        return cell.Shown();
    }
    return {};
}

bool ChannelGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() ||
        index.column() >= static_cast<int>(rows_[index.row()].size())) {
        return false;
    }
    GridCell& cell = rows_[index.row()][index.column()];
    if (cell.Kind != GridCellKind::Edit) {
        return false;
    }
    cell.Text = value.toString();
    Q_EMIT dataChanged(index, index);
    return true;
}

QVariant ChannelGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section < titles_.size()) {
        if (role == Qt::DisplayRole) {
            return titles_[section];
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
    }
    return {};
}

Qt::ItemFlags ChannelGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.isValid() && index.column() < static_cast<int>(rows_[index.row()].size()) &&
        rows_[index.row()][index.column()].Kind == GridCellKind::Edit) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

// --- drawing and the text editor --------------------------------------------------------------

class ChannelGridDelegate : public QStyledItemDelegate {
  public:
    explicit ChannelGridDelegate(CChannelGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const GridCell& cell = grid_.Cell(index.row(), index.column());
        const QRect r = option.rect;
        painter->save();
        painter->setPen(QColor(128, 128, 128));
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->fillRect(r.adjusted(2, 2, -2, -2), Qt::white);
        const bool selected = grid_.selectionModel() != nullptr &&
                              grid_.selectionModel()->isRowSelected(index.row(), QModelIndex());
        QRect textArea = r.adjusted(2, 2, -2, -2);
        const QRect button = grid_.ButtonRect(index.row(), index.column());
        if (selected && !button.isEmpty()) {
            textArea.setRight(button.left() - 1);
            DrawButton(*painter, cell, button);
        }
        painter->setPen(Qt::black);
        painter->setFont(option.font);
        painter->drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          cell.Shown());
        if (selected && (option.state & QStyle::State_HasFocus) && grid_.hasFocus()) {
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->drawRect(textArea.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(true);
        edit->setObjectName(QStringLiteral("GridEditor%1").arg(50000 + index.column()));
        // Every change reaches the cell at once; the dialog reads it when it needs it.
        QObject::connect(edit, &QLineEdit::textEdited, this,
                         [this, edit] { const_cast<ChannelGridDelegate*>(this)->Commit(edit); });
        grid_.editor_ = edit;
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        const QString text = grid_.Cell(index.row(), index.column()).Text;
        if (edit->text() != text) {
            edit->setText(text);
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

  private:
    void Commit(QWidget* editor) { Q_EMIT commitData(editor); }

    void DrawButton(QPainter& painter, const GridCell& cell, const QRect& button) const {
        qDrawShadePanel(&painter, button, grid_.palette(), false, 1,
                        &grid_.palette().brush(QPalette::Button));
        painter.setPen(Qt::black);
        const QPoint c = button.center();
        if (cell.Kind == GridCellKind::Choice) {
            // A small arrow: strokes of 5, 3 and 1 pixels.
            for (int i = 0; i < 3; ++i) {
                painter.drawLine(c.x() - 2 + i, c.y() - 1 + i, c.x() + 2 - i, c.y() - 1 + i);
            }
            return;
        }
        const QRect box(c.x() - 4, c.y() - 4, 9, 9);
        painter.fillRect(box, Qt::white);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (cell.Value == 1) {
            for (int i = 0; i < 3; ++i) {
                painter.drawLine(box.left() + 2, box.top() + 3 + i, box.left() + 3,
                                 box.top() + 4 + i);
                painter.drawLine(box.left() + 3, box.top() + 4 + i, box.left() + 6,
                                 box.top() + 1 + i);
            }
        }
    }

    CChannelGrid& grid_;
};

// --- drop-down list ----------------------------------------------------------------------------

ChannelGridPopup::ChannelGridPopup(QWidget* parent) : QListWidget(parent) {
    setWindowFlags(Qt::Popup);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(false);
}

void ChannelGridPopup::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (!rect().contains(event->position().toPoint())) {
        close();
        return;
    }
    const QModelIndex under = indexAt(viewport()->mapFrom(this, event->position().toPoint()));
    Q_EMIT Chosen(under.isValid() ? under.row() : currentRow());
}

void ChannelGridPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Q_EMIT Chosen(currentRow());
            return;
        case Qt::Key_Escape:
        case Qt::Key_F4:
            close();
            return;
        default:
            QListWidget::keyPressEvent(event);
    }
}

// --- grid --------------------------------------------------------------------------------------

CChannelGrid::CChannelGrid(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    setItemDelegate(new ChannelGridDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setShowGrid(false);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(1);
    SetRowHeight(20);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        ClosePopup();
        CloseEditor();
    });
}

void CChannelGrid::SetRowHeight(int pixels) {
    rowHeight_ = pixels;
    verticalHeader()->setDefaultSectionSize(pixels);
}

void CChannelGrid::InsertColumn(int index, const QString& title, int width) {
    model_.beginInsertColumns({}, index, index);
    model_.titles_.insert(index, title);
    // Rows made before the column get an empty text cell in it.
    for (auto& row : model_.rows_) {
        row.insert(row.begin() + std::min<std::ptrdiff_t>(index, std::ssize(row)), GridCell{});
    }
    model_.endInsertColumns();
    widths_.insert(widths_.begin() + index, width);
    LayoutColumns();
}

void CChannelGrid::SetReserveScrollBar(bool reserve) {
    reserveScrollBar_ = reserve;
    setVerticalScrollBarPolicy(reserve ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    LayoutColumns();
}

void CChannelGrid::LayoutColumns() {
    int fixed = 0;
    for (int width : widths_) {
        fixed += width > 0 ? width : 0;
    }
    int room = viewport()->width();
    if (reserveScrollBar_ && !verticalScrollBar()->isVisible()) {
        room -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    }
    for (std::size_t c = 0; c < widths_.size(); ++c) {
        const int width = widths_[c] > 0 ? widths_[c] : std::max(room - fixed - 1, 20);
        horizontalHeader()->resizeSection(static_cast<int>(c), width);
    }
}

void CChannelGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    LayoutColumns();
}

int CChannelGrid::AppendRow(const std::vector<GridCell>& cells) {
    const int row = RowCount();
    model_.beginInsertRows({}, row, row);
    model_.rows_.push_back(cells);
    model_.rows_.back().resize(std::max<std::size_t>(cells.size(), model_.titles_.size()));
    model_.endInsertRows();
    return row;
}

void CChannelGrid::DeleteLastRow() {
    if (RowCount() == 0) {
        return;
    }
    ClosePopup();
    CloseEditor();
    const int row = RowCount() - 1;
    model_.beginRemoveRows({}, row, row);
    model_.rows_.pop_back();
    model_.endRemoveRows();
}

void CChannelGrid::SetValue(int row, int column, int value) {
    model_.rows_[row][column].Value = value;
    const QModelIndex index = model_.index(row, column);
    Q_EMIT model_.dataChanged(index, index);
}

void CChannelGrid::SetText(int row, int column, const QString& text) {
    model_.rows_[row][column].Text = text;
    const QModelIndex index = model_.index(row, column);
    Q_EMIT model_.dataChanged(index, index);
}

void CChannelGrid::Refresh() {
    ClosePopup();
    viewport()->update();
}

void CChannelGrid::ScrollToTop() {
    scrollToTop();
}

QRect CChannelGrid::ButtonRect(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 ||
        column >= static_cast<int>(model_.rows_[row].size())) {
        return {};
    }
    const GridCellKind kind = model_.rows_[row][column].Kind;
    if (kind != GridCellKind::Choice && kind != GridCellKind::Toggle) {
        return {};
    }
    const QRect cell = visualRect(model_.index(row, column));
    // Exclusive right and bottom edges, as the cell's own rectangle counts them.
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();
    return QRect(QPoint(right - rowHeight_ + 1, cell.top() + 2), QPoint(right - 2, bottom - 2));
}

int CChannelGrid::FirstButtonColumn(int row) const {
    const auto& cells = model_.rows_[row];
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c].Kind == GridCellKind::Choice || cells[c].Kind == GridCellKind::Toggle) {
            return static_cast<int>(c);
        }
    }
    return -1;
}

void CChannelGrid::mousePressEvent(QMouseEvent* event) {
    ClosePopup();
    pressed_ = indexAt(event->position().toPoint());
    // Only the selected row shows its buttons: a press on another row selects it and no more.
    pressedSelected_ =
        pressed_.isValid() && selectionModel()->isRowSelected(pressed_.row(), QModelIndex());
    QTableView::mousePressEvent(event);
}

void CChannelGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    const QModelIndex pressed = pressed_;
    pressed_ = {};
    if (event->button() != Qt::LeftButton || !index.isValid() || index != pressed) {
        return;
    }
    const GridCell& cell = Cell(index.row(), index.column());
    if (cell.Kind == GridCellKind::Edit) {
        edit(index);
    } else if (pressedSelected_ &&
               ButtonRect(index.row(), index.column()).contains(event->position().toPoint())) {
        Press(index.row(), index.column());
    }
}

void CChannelGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const bool open = event->key() == Qt::Key_F4 || event->key() == Qt::Key_Space ||
                      (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier));
    if (current.isValid() && open && state() != EditingState) {
        int column = current.column();
        if (Cell(current.row(), column).Kind != GridCellKind::Choice &&
            Cell(current.row(), column).Kind != GridCellKind::Toggle) {
            column = FirstButtonColumn(current.row());
        }
        if (column >= 0) {
            Press(current.row(), column);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void CChannelGrid::Press(int row, int column) {
    ClosePopup();
    GridCell& cell = model_.rows_[row][column];
    if (cell.Kind == GridCellKind::Toggle) {
        cell.Value = cell.Value == 0 ? 1 : 0;
        const QModelIndex index = model_.index(row, column);
        Q_EMIT model_.dataChanged(index, index);
        viewport()->update(visualRect(index));
        Q_EMIT Notify(row, column);
    } else if (cell.Kind == GridCellKind::Choice) {
        OpenPopup(row, column);
        Q_EMIT Notify(row, column);
    }
}

void CChannelGrid::OpenPopup(int row, int column) {
    const GridCell& cell = Cell(row, column);
    auto* popup = new ChannelGridPopup(this);
    popup->setObjectName(QStringLiteral("GridList%1").arg(40000 + column));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFont(font());
    popup->addItems(cell.Choices);
    popup->setCurrentRow(cell.Value);
    const QRect cellRect = visualRect(model_.index(row, column));
    const QRect button = ButtonRect(row, column);
    const QPoint topLeft =
        viewport()->mapToGlobal(QPoint(cellRect.left() - 3, button.bottom() + 1 + 2));
    const int itemHeight = std::max(popup->sizeHintForRow(0), 1);
    popup->setGeometry(topLeft.x(), topLeft.y(), button.right() + 1 - (cellRect.left() - 3),
                       (static_cast<int>(cell.Choices.size()) + 1) * itemHeight);
    connect(popup, &ChannelGridPopup::Chosen, this, [this, popup](int index) {
        const int r = popupRow_;
        const int c = popupColumn_;
        ClosePopup();
        GridCell& chosen = model_.rows_[r][c];
        if (index >= 0 && index < chosen.Choices.size()) {
            chosen.Value = index;
        }
        const QModelIndex changed = model_.index(r, c);
        Q_EMIT model_.dataChanged(changed, changed);
        Q_EMIT Notify(r, c);
        Q_UNUSED(popup);
    });
    popup_ = popup;
    popupRow_ = row;
    popupColumn_ = column;
    popup->show();
    popup->setFocus();
}

void CChannelGrid::ClosePopup() {
    if (popup_) {
        ChannelGridPopup* popup = popup_;
        popup_ = nullptr;
        popup->close();
    }
    popupRow_ = -1;
    popupColumn_ = -1;
}

void CChannelGrid::CloseEditor() {
    if (editor_ && state() == EditingState) {
        QWidget* editor = editor_;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    editor_ = nullptr;
}

void CChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (current.row() != previous.row()) {
        ClosePopup();
        CloseEditor();
        // The rows that gain or lose their buttons are redrawn.
        viewport()->update();
    }
    QTableView::currentChanged(current, previous);
}

void CChannelGrid::scrollContentsBy(int dx, int dy) {
    ClosePopup();
    QTableView::scrollContentsBy(dx, dy);
}

}  // namespace kresograf
