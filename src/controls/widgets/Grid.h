#pragma once
// The grid: rows of cells under keyed columns, numbered from 1. A row is
// added by writing a cell of row Rows() + 1; hidden columns hold data like any
// other. Cells keep their value as written (text, number or date), an icon
// number in the grid's image list, a text format and a font.
#include "controls/widgets/WidgetTypes.h"

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <vector>

class QTableView;
class cGrid;
class cImageList;

// One cell as the windows address it: cGrid::Cell(row, column).
class cGridCell {
public:
    cGridCell(cGrid* grid, int row, const cItemRef& column);

    QVariant Text() const;
    void SetText(const QVariant& text) const;
    int IconIndex() const;
    void SetIconIndex(int index) const;
    // True when the cell's row is selected.
    bool Selected() const;

private:
    cGrid* m_grid;
    int m_row;
    cItemRef m_column;
};

// The sort settings of a grid: entries of column, order and type, numbered
// from 1 and applied in that order by cGrid::Sort.
class cGridSortObject {
public:
    void Clear() { m_entries.clear(); }
    int Count() const { return int(m_entries.size()); }
    // The entry of a column; 0 when the column has none.
    int IndexOf(int column) const;
    // Setting the column of entry Count() + 1 adds an entry.
    int SortColumn(int index) const;
    void SetSortColumn(int index, int column);
    int SortOrder(int index) const;
    void SetSortOrder(int index, int order);
    int SortType(int index) const;
    void SetSortType(int index, int type);

private:
    struct Entry {
        int column = 0;
        int order = 1;
        int type = 0;
    };
    const Entry* entry(int index) const;
    Entry* entry(int index);
    std::vector<Entry> m_entries;
};

class cGrid : public QWidget {
    Q_OBJECT
public:
    // Sort orders and sort types of cGridSortObject and ColumnSortOrder/Type.
    enum SortOrderCode { SortNone = 0, SortAscending = 1, SortDescending = 2 };
    enum SortTypeCode { SortText = 0, SortTextMatchCase = 1, SortNumber = 2, SortDate = 3, SortIcon = 4 };
    // Text-format flags of CellDetails (the others are accepted and ignored).
    enum TextFormatFlag {
        FormatCenter = 0x1, FormatRight = 0x2, FormatSingleLine = 0x20,
        FormatPathEllipsis = 0x4000, FormatEndEllipsis = 0x8000, FormatWordEllipsis = 0x40000
    };

    explicit cGrid(QWidget* parent = nullptr);
    ~cGrid() override;

    // Columns. alignment: 0 left, 1 right, 2 centre; width in pixels, -1 the
    // default; a hidden column is not shown but holds cells. A column is shown
    // at least as wide as set; free width goes first to columns whose texts do
    // not fit, the rest to the last shown column.
    void AddColumn(const QString& key, const QString& header = QString(), int alignment = 0, int iconIndex = -1,
                   int width = -1, bool visible = true);
    int Columns() const;
    // The number of the column with that key; 0 when there is none.
    int ColumnIndex(const QString& key) const;
    QString ColumnKey(int column) const;
    QString ColumnHeader(const cItemRef& column) const;
    void SetColumnHeader(const cItemRef& column, const QString& header);
    bool ColumnVisible(const cItemRef& column) const;
    void SetColumnVisible(const cItemRef& column, bool visible);
    int ColumnWidth(const cItemRef& column) const;
    void SetColumnWidth(const cItemRef& column, int width);
    int ColumnSortOrder(const cItemRef& column) const;
    void SetColumnSortOrder(const cItemRef& column, int order);
    int ColumnSortType(const cItemRef& column) const;
    void SetColumnSortType(const cItemRef& column, int type);

    // Rows and cells. A call on a cell that does not exist changes nothing and
    // reads an empty value (icon -1).
    int Rows() const;
    // Writes a cell: text, text format (-1 the default: one line, ellipsis at
    // the end) and icon. Row Rows() + 1 appends an empty row first.
    void CellDetails(int row, const cItemRef& column, const QVariant& text = QVariant(), int textFormat = -1,
                     int iconIndex = -1);
    cGridCell Cell(int row, const cItemRef& column) { return cGridCell(this, row, column); }
    QVariant CellText(int row, const cItemRef& column) const;
    // A cell value as the grid shows it (dates in the short date format and "HH:mm:ss").
    static QString DisplayText(const QVariant& value);
    void SetCellText(int row, const cItemRef& column, const QVariant& text);
    int CellIconIndex(int row, const cItemRef& column) const;
    void SetCellIconIndex(int row, const cItemRef& column, int index);
    int CellTextFormat(int row, const cItemRef& column) const;
    bool CellSelected(int row, const cItemRef& column) const;
    QFont RowFont(int row, const cItemRef& column) const;
    void SetRowFont(int row, const cItemRef& column, const QFont& font);
    // Removes a row; the rows below move up by one.
    void RemoveRow(int row);
    // Removes every row; the columns stay.
    void Clear();

    // The current row (0 when none) and column. Writing the row selects only
    // that row and scrolls it into view; 0 clears the selection.
    int SelectedRow() const { return m_currentRow; }
    void SetSelectedRow(int row);
    int SelectedCol() const { return m_currentCol; }
    void SetSelectedCol(int column);

    // False stops painting and change notices during bulk changes; True shows
    // the result.
    bool Redraw() const { return m_redraw; }
    void SetRedraw(bool redraw);

    // Sorting by the entries of SortObject(); the selection moves with its rows.
    cGridSortObject& SortObject() { return m_sort; }
    void Sort();

    // Appearance.
    int RowHeight() const;
    void SetRowHeight(int pixels);
    cImageList* ImageList() const { return m_imageList; }
    void SetImageList(cImageList* images);
    bool GridLines() const;
    void SetGridLines(bool on);
    // Highlights the row under the mouse.
    bool HotTrack() const { return m_hotTrack; }
    void SetHotTrack(bool on);
    std::int32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::int32_t color);
    QPixmap BackgroundPicture() const { return m_backgroundPicture; }
    void SetBackgroundPicture(const QPixmap& picture);
    // Set-up values the windows give; this grid keeps them without changing its look.
    bool SetupSwitchA() const { return m_setupSwitches[0]; }
    void SetSetupSwitchA(bool on) { m_setupSwitches[0] = on; }
    bool SetupSwitchB() const { return m_setupSwitches[1]; }
    void SetSetupSwitchB(bool on) { m_setupSwitches[1] = on; }
    bool SetupSwitchC() const { return m_setupSwitches[2]; }
    void SetSetupSwitchC(bool on) { m_setupSwitches[2] = on; }
    bool SetupSwitchD() const { return m_setupSwitches[3]; }
    void SetSetupSwitchD(bool on) { m_setupSwitches[3] = on; }
    bool SetupSwitchE() const { return m_setupSwitches[4]; }
    void SetSetupSwitchE(bool on) { m_setupSwitches[4] = on; }
    std::int32_t SetupColor() const { return m_setupColor; }
    void SetSetupColor(std::int32_t color) { m_setupColor = color; }

    // The table view inside (tests click it).
    QTableView* View() const;

signals:
    // The user moved the current row.
    void SelectionChange(int row, int column);
    void DblClick(int row, int column);
    void ColumnClick(int column);
    // Button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x, y in
    // pixels from the grid's top left corner.
    void MouseUp(int button, int shift, float x, float y);
    // Files dropped from the desktop; effect 1 (copy).
    void OLEDragDrop(const QStringList& files, int effect, int button, int shift, float x, float y);
    // Raised when the user acts on the grid while Redraw is False; a handler
    // that sets Redraw True lets the action through.
    void RedrawRequest(int reason);
    // One of the window's own controls was dropped here; x, y in twips.
    void DragDrop(QObject* source, float x, float y);

protected:
    void showEvent(QShowEvent* event) override;

private:
    class Model;
    class TableView;
    class Delegate;
    friend class cGridCell;

    int columnNumber(const cItemRef& column) const;
    bool allowInput(QEvent* event);
    void pushSelectionToView();
    void pushCurrentToView();
    void onCurrentChanged(int row, int column);
    void onViewSelectionChanged();
    void applyColumnLayout();
    // Shows the columns at their widths with the free width shared out.
    void fitColumns();
    // The texts changed: measures them again once the window thread is free.
    void remeasureColumns();
    void scheduleFit();
    void setHotRow(int row);
    void afterStructureChange();

    Model* m_model;
    TableView* m_view;
    QPointer<cImageList> m_imageList;
    cGridSortObject m_sort;
    int m_currentRow = 0;
    int m_currentCol = 0;
    int m_hotRow = 0;
    bool m_redraw = true;
    bool m_syncing = false;
    bool m_applyingLayout = false;
    bool m_fitPending = false;
    std::vector<int> m_neededWidths; // by column; empty until measured
    bool m_scrollPending = false;
    bool m_hotTrack = false;
    bool m_setupSwitches[5] = {};
    std::int32_t m_setupColor = 0;
    std::int32_t m_backColor = std::int32_t(0x80000005);
    QPixmap m_backgroundPicture;
};
