#pragma once

#include "search/ResultTable.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>
#include <QVector>
#include <memory>

class Cursor;
class QTimer;

// The rows of a ResultTable as a table model, with the formatting a flex
// grid gives them: per-column alignment of cells and titles, and bands of
// two colours over a range of columns.
class ResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultModel(QObject *parent = nullptr);

    ResultTable &table() { return m_table; }
    const ResultTable &table() const { return m_table; }
    // Starts over on the table as it is now (new columns, no rows shown).
    void restart();
    // Rows appended to the table since the last call become rows of the model.
    void publishRows();
    void resetFormat();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment alignment(int column) const { return m_alignment.value(column); }
    void setTitleAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment titleAlignment(int column) const { return m_titleAlignment.value(column); }
    // Model rows 0, 2, 4... (the grid's rows 1, 3, 5...) take odd, the
    // others even, over columns first to last.
    void setBands(int first, int last, const QColor &odd, const QColor &even);
    QColor background(int row, int column) const;

private:
    ResultTable m_table;
    int m_shown = 0;
    QVector<Qt::Alignment> m_alignment;
    QVector<Qt::Alignment> m_titleAlignment;
    bool m_banded = false;
    int m_bandFirst = 0, m_bandLast = -1;
    QColor m_odd, m_even;
};

// A grid after the manner of a flex grid over a search result: row 0 is the
// title row and rows 1 to Rows() - 1 the data rows; with FixedCols() 1,
// column 0 stays in place, in the look of the titles, while the other
// columns scroll sideways. A bound query's rows arrive in slices between
// events, so the first rows show at once and the rest follow while the
// grid stays usable.
class FlexGrid : public QTableView
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    // Takes the rows of cursor: the first slice now, the rest as events
    // allow (or at once, with finishLoading). Replaces earlier rows.
    void bind(std::unique_ptr<Cursor> cursor);
    bool loading() const { return m_cursor != nullptr; }
    // Reads the rest of the bound rows now.
    void finishLoading();
    // Reads more of the bound rows for about that long, the background
    // reading paused; true while rows remain (resumeLoading goes on with them).
    bool readMore(int maxMilliseconds);
    void resumeLoading();
    // Drops the rows not yet read.
    void stopLoading();
    // No columns, no rows.
    void clearGrid();
    // Rows read per slice at most (tests make it small to watch rows arrive).
    void setSliceRows(int rows) { m_sliceRows = rows; }

    int Rows() const;
    int Cols() const;
    // Row 0 holds the titles.
    QString TextMatrix(int row, int column) const;
    // The current row, 0 when there is no data row.
    int Row() const;
    void setRow(int row);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int count);
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);
    // Widths in twips.
    int ColWidth(int column) const;
    void setColWidth(int column, int twips);
    Qt::Alignment ColAlignment(int column) const;
    void setColAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment ColAlignmentFixed(int column) const;
    void setColAlignmentFixed(int column, Qt::Alignment alignment);
    // The area outside the cells, as 0x00BBGGRR.
    qint32 BackColorBkg() const { return m_backColorBkg; }
    void setBackColorBkg(qint32 bgr);
    void setBands(int firstColumn, int lastColumn, qint32 oddBgr, qint32 evenBgr);
    // The colour a cell shows (row 0 is the title row).
    QColor CellBackColor(int row, int column) const;

    const ResultTable &table() const { return m_model->table(); }
    QTableView *fixedColumnView() const { return m_fixed; }

Q_SIGNALS:
    // A double-click on a row.
    void DblClick();
    void LoadFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Reads up to the slice's rows or time; true while rows remain.
    bool readSlice(int maxRows, int maxMilliseconds);
    void continueLoading();
    void placeFixedColumn();
    void hideScrollingColumnsOfFixedView();

    ResultModel *m_model;
    QTableView *m_fixed;
    QTimer *m_loader;
    std::unique_ptr<Cursor> m_cursor;
    int m_fixedCols = 0;
    bool m_redraw = true;
    qint32 m_backColorBkg = 0xFFFFFF;
    int m_sliceRows = 20000;
    QVector<int> m_widthsTwips;
};
