#include "controls/widgets/Grid.h"

#include "controls/HandOver.h"
#include "controls/widgets/ImageList.h"
#include "controls/widgets/WidgetSupport.h"
#include "platform/VbCompat.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>
#include <numeric>

namespace {

QString displayText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime t = value.toDateTime();
        return QLocale().toString(t.date(), QLocale::ShortFormat) + ' ' + t.time().toString("HH:mm:ss");
    }
    case QMetaType::QDate: return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::Double:
    case QMetaType::Float: return platform::RealToText(value.toDouble());
    default: return value.toString();
    }
}

Qt::Alignment alignmentOf(int format, int columnAlignment)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (format >= 0 && (format & cGrid::FormatCenter)) horizontal = Qt::AlignHCenter;
    else if (format >= 0 && (format & cGrid::FormatRight)) horizontal = Qt::AlignRight;
    else if (format < 0 && columnAlignment == 1) horizontal = Qt::AlignRight;
    else if (format < 0 && columnAlignment == 2) horizontal = Qt::AlignHCenter;
    return horizontal | Qt::AlignVCenter;
}

Qt::TextElideMode elideOf(int format)
{
    if (format < 0) return Qt::ElideRight;
    if (format & cGrid::FormatPathEllipsis) return Qt::ElideMiddle;
    if (format & (cGrid::FormatEndEllipsis | cGrid::FormatWordEllipsis)) return Qt::ElideRight;
    return Qt::ElideNone;
}

template <class T>
int threeWay(const T& a, const T& b)
{
    if (a < b) return -1;
    if (b < a) return 1;
    return 0;
}

int twips(double pixels) { return platform::PixelsToTwips(int(pixels)); }

} // namespace

// ---------------------------------------------------------------------------
// The grid's data: rows of cells, the columns, and the change notices to the
// view. While a bulk change runs (Redraw False) the view keeps seeing the row
// count it was last told; one reset at the end publishes everything.

class cGrid::Model final : public QAbstractTableModel {
public:
    // Kept small: a list of a few hundred thousand rows holds millions of them.
    struct Cell {
        QVariant text;
        std::int32_t format = -1;
        std::int16_t icon = -1;
        std::uint16_t font = 0; // 0: the grid's font, else a place in m_fonts
    };
    static std::int16_t iconNumber(int index) { return std::int16_t(std::clamp(index, -1, 32767)); }
    struct Row {
        std::unique_ptr<Cell[]> cells; // one per column; no capacity or size kept beside it
        bool selected = false;
    };
    Row newRow() const { return Row{std::make_unique<Cell[]>(columns.size()), false}; }
    struct Column {
        QString key, header;
        int alignment = 0, icon = -1, width = -1;
        bool visible = true;
        int sortOrder = SortNone, sortType = SortText;
    };
    static constexpr int ElideRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    std::vector<Row> rows;
    std::vector<Column> columns;
    QPointer<cImageList> images;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_published;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Cell* c = cell(index.row(), index.column());
        if (!c) return {};
        switch (role) {
        case Qt::DisplayRole: return displayText(c->text);
        case Qt::EditRole: return c->text;
        case Qt::DecorationRole: return c->icon >= 0 && images ? QVariant(images->Icon(c->icon)) : QVariant();
        case Qt::FontRole: return c->font ? QVariant(m_fonts[size_t(c->font)]) : QVariant();
        case Qt::TextAlignmentRole:
            return int(alignmentOf(c->format, columns[size_t(index.column())].alignment));
        case ElideRole: return int(elideOf(c->format));
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= int(columns.size())) return {};
        const Column& col = columns[size_t(section)];
        switch (role) {
        case Qt::DisplayRole: return col.header;
        case Qt::DecorationRole: return col.icon >= 0 && images ? QVariant(images->Icon(col.icon)) : QVariant();
        case Qt::TextAlignmentRole: return int(alignmentOf(-1, col.alignment));
        default: return {};
        }
    }

    const Cell* cell(int row, int column) const
    {
        if (row < 0 || row >= int(rows.size()) || column < 0 || column >= int(columns.size())) return nullptr;
        return &rows[size_t(row)].cells[size_t(column)];
    }
    Cell* cell(int row, int column) { return const_cast<Cell*>(std::as_const(*this).cell(row, column)); }

    int columnOfKey(const QString& key) const { return m_columnByKey.value(key, -1); }

    void addColumn(const Column& column)
    {
        const int at = int(columns.size());
        beginInsertColumns(QModelIndex(), at, at);
        columns.push_back(column);
        m_columnByKey.insert(column.key, at);
        for (Row& row : rows) {
            Row wider = newRow();
            std::move(row.cells.get(), row.cells.get() + at, wider.cells.get());
            row.cells = std::move(wider.cells);
        }
        endInsertColumns();
    }

    void appendRow()
    {
        Row row = newRow();
        if (m_batch) {
            rows.push_back(std::move(row));
            m_structureDirty = true;
            return;
        }
        const int at = int(rows.size());
        beginInsertRows(QModelIndex(), at, at);
        rows.push_back(std::move(row));
        m_published = at + 1;
        endInsertRows();
    }

    void removeRow(int row)
    {
        if (m_batch) {
            rows.erase(rows.begin() + row);
            m_structureDirty = true;
            return;
        }
        beginRemoveRows(QModelIndex(), row, row);
        rows.erase(rows.begin() + row);
        m_published = int(rows.size());
        endRemoveRows();
    }

    void clear()
    {
        changeStructure([this] { discard(std::exchange(rows, {})); });
    }

    // Puts the rows in the given order: order[i] is the old place of new row i.
    void reorder(const std::vector<int>& order)
    {
        changeStructure([&] {
            std::vector<Row> sorted;
            sorted.reserve(rows.size());
            for (int from : order) sorted.push_back(std::move(rows[size_t(from)]));
            rows = std::move(sorted);
        });
    }

    void cellChanged(int row, int column)
    {
        if (m_batch) m_dataDirty = true;
        else if (row < m_published) emit dataChanged(index(row, column), index(row, column));
    }

    void columnChanged(int column) { emit headerDataChanged(Qt::Horizontal, column, column); }

    void refreshAll()
    {
        if (m_batch) {
            m_dataDirty = true;
            return;
        }
        if (m_published > 0 && !columns.empty())
            emit dataChanged(index(0, 0), index(m_published - 1, int(columns.size()) - 1));
        if (!columns.empty()) emit headerDataChanged(Qt::Horizontal, 0, int(columns.size()) - 1);
    }

    void beginBatch() { m_batch = true; }
    // Ends a bulk change; true when the view was reset.
    bool endBatch()
    {
        m_batch = false;
        const bool reset = m_structureDirty;
        if (reset) {
            beginResetModel();
            m_published = int(rows.size());
            endResetModel();
        } else if (m_dataDirty) {
            refreshAll();
        }
        m_structureDirty = m_dataDirty = false;
        return reset;
    }

    int fontId(const QFont& font)
    {
        if (m_fonts[size_t(m_lastFont)] == font && m_lastFont != 0) return m_lastFont;
        auto it = std::find(m_fonts.begin() + 1, m_fonts.end(), font);
        if (it == m_fonts.end()) it = m_fonts.insert(m_fonts.end(), font);
        m_lastFont = int(it - m_fonts.begin());
        return m_lastFont;
    }
    const QFont* font(int id) const { return id > 0 ? &m_fonts[size_t(id)] : nullptr; }

private:
    template <class Change>
    void changeStructure(Change change)
    {
        if (m_batch) {
            change();
            m_structureDirty = true;
            return;
        }
        beginResetModel();
        change();
        m_published = int(rows.size());
        endResetModel();
    }

    // Many rows are let go on another thread: freeing their cells one by one
    // would hold the window up (cells hold texts, numbers and dates only).
    static void discard(std::vector<Row>&& old)
    {
        if (old.size() < 10000) return;
        auto held = std::make_shared<std::vector<Row>>(std::move(old));
        QThreadPool::globalInstance()->start(HandedOver([held = std::move(held)]() mutable { held.reset(); }));
    }

    QHash<QString, int> m_columnByKey;
    std::vector<QFont> m_fonts{QFont()};
    int m_lastFont = 0;
    int m_published = 0;
    bool m_batch = false;
    bool m_structureDirty = false;
    bool m_dataDirty = false;
};

// ---------------------------------------------------------------------------
// Paints a cell: icon-only cells show their icon centred; the row under the
// mouse is tinted when hot tracking is on.

class cGrid::Delegate final : public QStyledItemDelegate {
public:
    explicit Delegate(cGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.textElideMode = Qt::TextElideMode(index.data(Model::ElideRole).toInt());
        if (m_grid->m_hotTrack && index.row() + 1 == m_grid->m_hotRow && !(opt.state & QStyle::State_Selected)) {
            QColor hot = opt.palette.color(QPalette::Highlight);
            hot.setAlpha(48);
            opt.backgroundBrush = hot;
        }
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        if (!opt.text.isEmpty() || opt.icon.isNull()) {
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
            return;
        }
        const QIcon icon = opt.icon;
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        QRect place(QPoint(), opt.decorationSize);
        place.moveCenter(opt.rect.center());
        const QIcon::Mode mode = opt.state & QStyle::State_Enabled ? QIcon::Normal : QIcon::Disabled;
        icon.paint(painter, place, Qt::AlignCenter, mode);
    }

private:
    cGrid* m_grid;
};

// ---------------------------------------------------------------------------
// The table view: reports mouse releases, tracks the hot row and holds user
// input back while drawing is off.

class cGrid::TableView final : public QTableView {
public:
    explicit TableView(cGrid* grid) : QTableView(grid), m_grid(grid) {}
    // The width the cells of a column need.
    using QTableView::sizeHintForColumn;

protected:
    bool viewportEvent(QEvent* event) override
    {
        if (!m_grid->allowInput(event)) return true;
        if (event->type() == QEvent::Leave) m_grid->setHotRow(0);
        const bool handled = QTableView::viewportEvent(event);
        if (event->type() == QEvent::Resize) m_grid->fitColumns();
        return handled;
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_grid->allowInput(event)) QTableView::keyPressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        QTableView::mouseMoveEvent(event);
        m_grid->setHotRow(rowAt(event->position().toPoint().y()) + 1);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QTableView::mouseReleaseEvent(event);
        const QPointF at = viewport()->mapTo(m_grid, event->position().toPoint());
        emit m_grid->MouseUp(widgets::ButtonCode(event->button()), widgets::ShiftState(event->modifiers()),
                             float(at.x()), float(at.y()));
    }

private:
    cGrid* m_grid;
};

// ---------------------------------------------------------------------------

cGridCell::cGridCell(cGrid* grid, int row, const cItemRef& column) : m_grid(grid), m_row(row), m_column(column) {}
QVariant cGridCell::Text() const { return m_grid->CellText(m_row, m_column); }
void cGridCell::SetText(const QVariant& text) const { m_grid->SetCellText(m_row, m_column, text); }
int cGridCell::IconIndex() const { return m_grid->CellIconIndex(m_row, m_column); }
void cGridCell::SetIconIndex(int index) const { m_grid->SetCellIconIndex(m_row, m_column, index); }
bool cGridCell::Selected() const { return m_grid->CellSelected(m_row, m_column); }

int cGridSortObject::IndexOf(int column) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_entries[size_t(i)].column == column) return i + 1;
    return 0;
}

const cGridSortObject::Entry* cGridSortObject::entry(int index) const
{
    return index >= 1 && index <= Count() ? &m_entries[size_t(index - 1)] : nullptr;
}

cGridSortObject::Entry* cGridSortObject::entry(int index)
{
    if (index == Count() + 1) m_entries.emplace_back();
    return const_cast<Entry*>(std::as_const(*this).entry(index));
}

int cGridSortObject::SortColumn(int index) const { return entry(index) ? entry(index)->column : 0; }
int cGridSortObject::SortOrder(int index) const { return entry(index) ? entry(index)->order : 0; }
int cGridSortObject::SortType(int index) const { return entry(index) ? entry(index)->type : 0; }

void cGridSortObject::SetSortColumn(int index, int column)
{
    if (Entry* e = entry(index)) e->column = column;
}

void cGridSortObject::SetSortOrder(int index, int order)
{
    if (Entry* e = entry(index)) e->order = order;
}

void cGridSortObject::SetSortType(int index, int type)
{
    if (Entry* e = entry(index)) e->type = type;
}

// ---------------------------------------------------------------------------

cGrid::cGrid(QWidget* parent) : QWidget(parent), m_model(new Model(this)), m_view(new TableView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_view->setModel(m_model);
    m_view->setItemDelegate(new Delegate(this));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setShowGrid(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetRowHeight(20);

    new widgets::DropReceiver(
        m_view->viewport(), this,
        [this](QObject* source, QPointF at) { emit DragDrop(source, float(twips(at.x())), float(twips(at.y()))); },
        [this](const QStringList& files, int button, int shift, QPointF at) {
            emit OLEDragDrop(files, 1, button, shift, float(at.x()), float(at.y()));
        });

    QItemSelectionModel* selection = m_view->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!m_syncing && m_redraw) onCurrentChanged(current.row() + 1, current.column() + 1);
    });
    connect(selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing && m_redraw) onViewSelectionChanged();
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit DblClick(index.row() + 1, index.column() + 1); });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_applyingLayout || m_view->isColumnHidden(section) || section >= Columns()) return;
        m_model->columns[size_t(section)].width = size;
        scheduleFit();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &cGrid::remeasureColumns);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &cGrid::remeasureColumns);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &cGrid::remeasureColumns);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &cGrid::remeasureColumns);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &cGrid::remeasureColumns);
    connect(m_model, &QAbstractItemModel::headerDataChanged, this, &cGrid::remeasureColumns);
}

// The view forwards its events to the grid: it goes first, before QWidget's
// destructor closes the grid and the view would pass the last of them on.
cGrid::~cGrid() { delete m_view; }

QTableView* cGrid::View() const { return m_view; }

// --- columns ---

void cGrid::AddColumn(const QString& key, const QString& header, int alignment, int iconIndex, int width,
                      bool visible)
{
    if (ColumnIndex(key) > 0) return;
    Model::Column column;
    column.key = key;
    column.header = header;
    column.alignment = alignment;
    column.icon = iconIndex;
    column.width = width;
    column.visible = visible;
    m_model->addColumn(column);
    applyColumnLayout();
}

int cGrid::Columns() const { return int(m_model->columns.size()); }

int cGrid::ColumnIndex(const QString& key) const { return m_model->columnOfKey(key) + 1; }

QString cGrid::ColumnKey(int column) const
{
    return column >= 1 && column <= Columns() ? m_model->columns[size_t(column - 1)].key : QString();
}

int cGrid::columnNumber(const cItemRef& column) const
{
    if (column.ByKey()) return ColumnIndex(column.Key());
    return column.Index() >= 1 && column.Index() <= Columns() ? column.Index() : 0;
}

QString cGrid::ColumnHeader(const cItemRef& column) const
{
    const int c = columnNumber(column);
    return c ? m_model->columns[size_t(c - 1)].header : QString();
}

void cGrid::SetColumnHeader(const cItemRef& column, const QString& header)
{
    if (const int c = columnNumber(column)) {
        m_model->columns[size_t(c - 1)].header = header;
        m_model->columnChanged(c - 1);
    }
}

bool cGrid::ColumnVisible(const cItemRef& column) const
{
    const int c = columnNumber(column);
    return c && m_model->columns[size_t(c - 1)].visible;
}

void cGrid::SetColumnVisible(const cItemRef& column, bool visible)
{
    if (const int c = columnNumber(column)) {
        m_model->columns[size_t(c - 1)].visible = visible;
        applyColumnLayout();
    }
}

int cGrid::ColumnWidth(const cItemRef& column) const
{
    const int c = columnNumber(column);
    if (!c) return 0;
    const int stored = m_model->columns[size_t(c - 1)].width;
    return stored >= 0 || m_view->isColumnHidden(c - 1) ? stored : m_view->columnWidth(c - 1);
}

void cGrid::SetColumnWidth(const cItemRef& column, int width)
{
    if (const int c = columnNumber(column)) {
        m_model->columns[size_t(c - 1)].width = width;
        applyColumnLayout();
    }
}

int cGrid::ColumnSortOrder(const cItemRef& column) const
{
    const int c = columnNumber(column);
    return c ? m_model->columns[size_t(c - 1)].sortOrder : SortNone;
}

void cGrid::SetColumnSortOrder(const cItemRef& column, int order)
{
    const int c = columnNumber(column);
    if (!c) return;
    m_model->columns[size_t(c - 1)].sortOrder = order;
    QHeaderView* header = m_view->horizontalHeader();
    if (order == SortAscending || order == SortDescending) {
        header->setSortIndicatorShown(true);
        header->setSortIndicator(c - 1, order == SortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    } else if (header->sortIndicatorSection() == c - 1) {
        header->setSortIndicatorShown(false);
    }
}

int cGrid::ColumnSortType(const cItemRef& column) const
{
    const int c = columnNumber(column);
    return c ? m_model->columns[size_t(c - 1)].sortType : SortText;
}

void cGrid::SetColumnSortType(const cItemRef& column, int type)
{
    if (const int c = columnNumber(column)) m_model->columns[size_t(c - 1)].sortType = type;
}

void cGrid::applyColumnLayout()
{
    {
        const QScopedValueRollback<bool> applying(m_applyingLayout, true);
        for (int i = 0; i < Columns(); ++i) m_view->setColumnHidden(i, !m_model->columns[size_t(i)].visible);
    }
    fitColumns();
}

void cGrid::remeasureColumns()
{
    m_neededWidths.clear();
    scheduleFit();
}

void cGrid::scheduleFit()
{
    if (m_fitPending) return;
    m_fitPending = true;
    QMetaObject::invokeMethod(this, [this] {
        m_fitPending = false;
        if (m_redraw) fitColumns();
    }, Qt::QueuedConnection);
}

void cGrid::fitColumns()
{
    const QScopedValueRollback<bool> applying(m_applyingLayout, true);
    std::vector<int> shown;
    for (int i = 0; i < Columns(); ++i)
        if (m_model->columns[size_t(i)].visible) shown.push_back(i);
    if (shown.empty()) return;
    if (m_neededWidths.size() != size_t(Columns())) {
        m_neededWidths.assign(size_t(Columns()), 0);
        for (int i : shown)
            m_neededWidths[size_t(i)] =
                std::max(m_view->sizeHintForColumn(i), m_view->horizontalHeader()->sectionSizeHint(i));
    }
    std::vector<int> widths;
    int free = m_view->viewport()->width();
    for (int i : shown) {
        const int set = m_model->columns[size_t(i)].width;
        widths.push_back(set >= 0 ? set : m_view->horizontalHeader()->defaultSectionSize());
        free -= widths.back();
    }
    for (size_t k = 0; k < shown.size() && free > 0; ++k) {
        const int wider = std::clamp(m_neededWidths[size_t(shown[k])] - widths[k], 0, free);
        widths[k] += wider;
        free -= wider;
    }
    if (free > 0) widths.back() += free;
    for (size_t k = 0; k < shown.size(); ++k)
        if (m_view->columnWidth(shown[k]) != widths[k]) m_view->setColumnWidth(shown[k], widths[k]);
}

// --- rows and cells ---

int cGrid::Rows() const { return int(m_model->rows.size()); }

void cGrid::CellDetails(int row, const cItemRef& column, const QVariant& text, int textFormat, int iconIndex)
{
    const int c = columnNumber(column);
    if (!c || row < 1 || row > Rows() + 1) return;
    if (row == Rows() + 1) {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->appendRow();
    }
    Model::Cell* cell = m_model->cell(row - 1, c - 1);
    cell->text = text;
    cell->format = textFormat;
    cell->icon = Model::iconNumber(iconIndex);
    m_model->cellChanged(row - 1, c - 1);
}

QString cGrid::DisplayText(const QVariant& value) { return displayText(value); }

QVariant cGrid::CellText(int row, const cItemRef& column) const
{
    const Model::Cell* cell = m_model->cell(row - 1, columnNumber(column) - 1);
    return cell ? cell->text : QVariant();
}

void cGrid::SetCellText(int row, const cItemRef& column, const QVariant& text)
{
    const int c = columnNumber(column);
    if (Model::Cell* cell = m_model->cell(row - 1, c - 1)) {
        cell->text = text;
        m_model->cellChanged(row - 1, c - 1);
    }
}

int cGrid::CellIconIndex(int row, const cItemRef& column) const
{
    const Model::Cell* cell = m_model->cell(row - 1, columnNumber(column) - 1);
    return cell ? cell->icon : -1;
}

void cGrid::SetCellIconIndex(int row, const cItemRef& column, int index)
{
    const int c = columnNumber(column);
    if (Model::Cell* cell = m_model->cell(row - 1, c - 1)) {
        cell->icon = Model::iconNumber(index);
        m_model->cellChanged(row - 1, c - 1);
    }
}

int cGrid::CellTextFormat(int row, const cItemRef& column) const
{
    const Model::Cell* cell = m_model->cell(row - 1, columnNumber(column) - 1);
    return cell ? cell->format : -1;
}

bool cGrid::CellSelected(int row, const cItemRef& column) const
{
    return m_model->cell(row - 1, columnNumber(column) - 1) && m_model->rows[size_t(row - 1)].selected;
}

QFont cGrid::RowFont(int row, const cItemRef& column) const
{
    const Model::Cell* cell = m_model->cell(row - 1, columnNumber(column) - 1);
    const QFont* font = cell ? m_model->font(cell->font) : nullptr;
    return font ? *font : m_view->font();
}

void cGrid::SetRowFont(int row, const cItemRef& column, const QFont& font)
{
    const int c = columnNumber(column);
    if (Model::Cell* cell = m_model->cell(row - 1, c - 1)) {
        cell->font = std::uint16_t(m_model->fontId(font));
        m_model->cellChanged(row - 1, c - 1);
    }
}

void cGrid::RemoveRow(int row)
{
    if (row < 1 || row > Rows()) return;
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->removeRow(row - 1);
    }
    if (m_currentRow > row) --m_currentRow;
    else if (m_currentRow == row) m_currentRow = std::min(row, Rows());
    if (m_hotRow > Rows()) m_hotRow = 0;
    if (m_redraw) pushCurrentToView();
}

void cGrid::Clear()
{
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->clear();
    }
    m_currentRow = 0;
    m_hotRow = 0;
    afterStructureChange();
}

// --- selection ---

void cGrid::SetSelectedRow(int row)
{
    if (row > Rows()) return;
    for (Model::Row& r : m_model->rows) r.selected = false;
    m_currentRow = std::max(row, 0);
    if (m_currentRow) {
        m_model->rows[size_t(row - 1)].selected = true;
        if (m_currentCol < 1) m_currentCol = 1;
    }
    m_scrollPending = m_currentRow > 0;
    if (!m_redraw) return;
    pushSelectionToView();
}

void cGrid::SetSelectedCol(int column)
{
    if (column < 1 || column > Columns()) return;
    m_currentCol = column;
    if (m_redraw) pushCurrentToView();
}

void cGrid::onCurrentChanged(int row, int column)
{
    const int previous = m_currentRow;
    m_currentRow = std::max(row, 0);
    m_currentCol = std::max(column, 0);
    if (m_currentRow != previous) emit SelectionChange(m_currentRow, m_currentCol);
}

void cGrid::onViewSelectionChanged()
{
    std::vector<Model::Row>& rows = m_model->rows;
    for (Model::Row& r : rows) r.selected = false;
    const QItemSelection selection = m_view->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection)
        for (int r = range.top(); r <= range.bottom() && r < int(rows.size()); ++r) rows[size_t(r)].selected = true;
}

void cGrid::pushSelectionToView()
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const std::vector<Model::Row>& rows = m_model->rows;
    const int lastColumn = std::max(Columns() - 1, 0);
    QItemSelection selection;
    for (int r = 0; r < int(rows.size());) {
        if (!rows[size_t(r)].selected) {
            ++r;
            continue;
        }
        const int first = r;
        while (r < int(rows.size()) && rows[size_t(r)].selected) ++r;
        selection.select(m_model->index(first, 0), m_model->index(r - 1, lastColumn));
    }
    m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    pushCurrentToView();
}

void cGrid::pushCurrentToView()
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    QItemSelectionModel* selection = m_view->selectionModel();
    if (m_currentRow < 1) {
        selection->clearCurrentIndex();
        return;
    }
    const QModelIndex current = m_model->index(m_currentRow - 1, std::max(m_currentCol, 1) - 1);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (m_scrollPending) {
        m_scrollPending = false;
        m_view->scrollTo(current);
    }
}

void cGrid::afterStructureChange()
{
    if (!m_redraw) return;
    applyColumnLayout();
    pushSelectionToView();
}

// --- drawing ---

void cGrid::SetRedraw(bool redraw)
{
    if (redraw == m_redraw) return;
    m_redraw = redraw;
    // While drawing is off the view goes on showing the rows as they were
    // (it still paints them when uncovered: a window that shows up while a
    // list fills is not left blank); the changes show when it is on again.
    if (!redraw) {
        m_model->beginBatch();
        return;
    }
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->endBatch();
    }
    afterStructureChange();
    m_view->viewport()->update();
}

bool cGrid::allowInput(QEvent* event)
{
    if (m_redraw) return true;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress: emit RedrawRequest(0); return m_redraw;
    default: return true;
    }
}

void cGrid::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_redraw) emit RedrawRequest(0);
}

void cGrid::Sort()
{
    struct Key {
        int column, order, type;
    };
    std::vector<Key> keys;
    for (int i = 1; i <= m_sort.Count(); ++i) {
        const int column = m_sort.SortColumn(i);
        const int order = m_sort.SortOrder(i);
        if (column >= 1 && column <= Columns() && (order == SortAscending || order == SortDescending))
            keys.push_back({column - 1, order, m_sort.SortType(i)});
    }
    if (keys.empty() || Rows() < 2) return;

    const std::vector<Model::Row>& rows = m_model->rows;
    auto compare = [](const Model::Cell& a, const Model::Cell& b, int type) {
        switch (type) {
        case SortNumber: return threeWay(a.text.toDouble(), b.text.toDouble());
        case SortDate: return threeWay(a.text.toDateTime(), b.text.toDateTime());
        case SortIcon: return threeWay(a.icon, b.icon);
        case SortTextMatchCase: return displayText(a.text).compare(displayText(b.text), Qt::CaseSensitive);
        default: return displayText(a.text).compare(displayText(b.text), Qt::CaseInsensitive);
        }
    };
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const Key& key : keys) {
            const int c = compare(rows[size_t(a)].cells[size_t(key.column)], rows[size_t(b)].cells[size_t(key.column)],
                                  key.type);
            if (c) return key.order == SortDescending ? c > 0 : c < 0;
        }
        return false;
    });

    const int current = m_currentRow - 1;
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->reorder(order);
    }
    if (current >= 0) m_currentRow = int(std::find(order.begin(), order.end(), current) - order.begin()) + 1;
    afterStructureChange();
}

int cGrid::RowHeight() const { return m_view->verticalHeader()->defaultSectionSize(); }

void cGrid::SetRowHeight(int pixels)
{
    if (pixels < 1) return;
    QHeaderView* rows = m_view->verticalHeader();
    rows->setMinimumSectionSize(std::min(pixels, rows->minimumSectionSize()));
    rows->setDefaultSectionSize(pixels);
}

void cGrid::SetImageList(cImageList* images)
{
    if (m_imageList) disconnect(m_imageList, nullptr, this, nullptr);
    m_imageList = images;
    m_model->images = images;
    if (images) {
        m_view->setIconSize(images->IconSize());
        connect(images, &cImageList::Changed, this, [this] { m_model->refreshAll(); });
    }
    m_model->refreshAll();
}

bool cGrid::GridLines() const { return m_view->showGrid(); }

void cGrid::SetGridLines(bool on) { m_view->setShowGrid(on); }

void cGrid::SetHotTrack(bool on)
{
    m_hotTrack = on;
    m_view->setMouseTracking(on);
    if (!on) setHotRow(0);
}

void cGrid::setHotRow(int row)
{
    if (!m_hotTrack || row > Rows()) row = 0;
    if (row == m_hotRow) return;
    m_hotRow = row;
    m_view->viewport()->update();
}

void cGrid::SetBackColor(std::int32_t color)
{
    m_backColor = color;
    SetBackgroundPicture(m_backgroundPicture);
}

void cGrid::SetBackgroundPicture(const QPixmap& picture)
{
    m_backgroundPicture = picture;
    QPalette palette = m_view->palette();
    const QColor back = widgets::ColorFromNumber(m_backColor);
    palette.setBrush(QPalette::Base, picture.isNull() ? QBrush(back) : QBrush(picture));
    m_view->setPalette(palette);
}
