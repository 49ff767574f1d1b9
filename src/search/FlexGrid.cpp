#include "search/FlexGrid.h"

#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "data/Cursor.h"
#include "platform/Look.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Cells of the fixed column look like the titles, whatever the model says.
class FixedCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = option->palette.button();
    }
};

const QColor CellDefault = Qt::white;

} // namespace

// ---------------------------------------------------------------- model

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultModel::restart()
{
    beginResetModel();
    m_shown = 0;
    resetFormat();
    endResetModel();
}

void ResultModel::resetFormat()
{
    m_alignment.fill(Qt::Alignment(), m_table.columnCount());
    m_titleAlignment.fill(Qt::Alignment(), m_table.columnCount());
    m_banded = false;
}

void ResultModel::publishRows()
{
    const int rows = m_table.rowCount();
    if (rows <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, rows - 1);
    m_shown = rows;
    endInsertRows();
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QColor ResultModel::background(int row, int column) const
{
    if (m_banded && column >= m_bandFirst && column <= m_bandLast)
        return row % 2 == 0 ? m_odd : m_even;
    return CellDefault;
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_table.text(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const Qt::Alignment a = m_alignment.value(index.column());
        return a ? QVariant(int(a)) : QVariant();
    }
    case Qt::BackgroundRole:
        return background(index.row(), index.column());
    default:
        return QVariant();
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_table.title(section);
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment a = m_titleAlignment.value(section);
        return a ? QVariant(int(a)) : QVariant();
    }
    return QVariant();
}

void ResultModel::setAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0 || column >= m_alignment.size())
        return;
    m_alignment[column] = alignment;
    if (m_shown > 0)
        Q_EMIT dataChanged(index(0, column), index(m_shown - 1, column), {Qt::TextAlignmentRole});
}

void ResultModel::setTitleAlignment(int column, Qt::Alignment alignment)
{
    if (column < 0 || column >= m_titleAlignment.size())
        return;
    m_titleAlignment[column] = alignment;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void ResultModel::setBands(int first, int last, const QColor &odd, const QColor &even)
{
    m_banded = true;
    m_bandFirst = first;
    m_bandLast = last;
    m_odd = odd;
    m_even = even;
    if (m_shown > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_shown - 1, columnCount() - 1), {Qt::BackgroundRole});
}

// ---------------------------------------------------------------- grid

FlexGrid::FlexGrid(QWidget *parent)
    : QTableView(parent), m_model(new ResultModel(this)), m_fixed(new QTableView(this)), m_loader(new QTimer(this))
{
    setModel(m_model);
    // The columns have the widths of the suite's grid, laid out for a
    // smaller type than the forms' own: a Persian date must fit its column.
    QFont small = Look::persianFont(8);
    setFont(small);
    m_fixed->setFont(small);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    // Narrow columns are as narrow as they are set.
    horizontalHeader()->setMinimumSectionSize(8);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    m_fixed->setObjectName(QStringLiteral("fixedColumn"));
    m_fixed->setModel(m_model);
    m_fixed->setSelectionModel(selectionModel());
    m_fixed->setItemDelegate(new FixedCellDelegate(m_fixed));
    m_fixed->setFocusPolicy(Qt::NoFocus);
    m_fixed->verticalHeader()->hide();
    m_fixed->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fixed->verticalHeader()->setDefaultSectionSize(20);
    m_fixed->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fixed->horizontalHeader()->setHighlightSections(false);
    m_fixed->horizontalHeader()->setMinimumSectionSize(8);
    m_fixed->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fixed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setWordWrap(false);
    m_fixed->setStyleSheet(QStringLiteral("QTableView { border: none; }"));
    m_fixed->hide();

    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_fixed->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(m_fixed->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 0) {
            m_fixed->setColumnWidth(0, size);
            placeFixedColumn();
        }
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &FlexGrid::hideScrollingColumnsOfFixedView);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            Q_EMIT DblClick();
    });
    connect(m_fixed, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            setCurrentIndex(m_model->index(index.row(), currentIndex().isValid() ? currentIndex().column() : 0));
            Q_EMIT DblClick();
        }
    });

    m_loader->setSingleShot(true);
    m_loader->setInterval(0);
    connect(m_loader, &QTimer::timeout, this, &FlexGrid::continueLoading);
    setBackColorBkg(m_backColorBkg);
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::hideScrollingColumnsOfFixedView()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_fixed->setColumnHidden(c, c != 0);
    if (m_model->columnCount() > 0)
        m_fixed->setColumnWidth(0, columnWidth(0));
    placeFixedColumn();
}

void FlexGrid::bind(std::unique_ptr<Cursor> cursor)
{
    stopLoading();
    m_model->table().reset(*cursor);
    m_model->restart();
    m_cursor = std::move(cursor);
    // The first rows at once, so the grid has something to show.
    if (readSlice(std::min(m_sliceRows, 1000), 100))
        m_loader->start();
    if (m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
}

bool FlexGrid::readSlice(int maxRows, int maxMilliseconds)
{
    if (!m_cursor)
        return false;
    ResultTable &table = m_model->table();
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    try {
        for (int n = 0; n < maxRows; ++n) {
            if (!m_cursor->next()) {
                more = false;
                break;
            }
            table.append(*m_cursor);
            if ((n & 255) == 255 && clock.elapsed() >= maxMilliseconds)
                break;
        }
    } catch (...) {
        m_cursor.reset();
        m_model->publishRows();
        throw;
    }
    m_model->publishRows();
    if (!more) {
        m_cursor.reset();
        Q_EMIT LoadFinished();
    }
    return more;
}

void FlexGrid::continueLoading()
{
    // An error part-way keeps the rows read so far and is reported once.
    runHandler([this] {
        if (readSlice(m_sliceRows, 40))
            m_loader->start();
    });
}

void FlexGrid::finishLoading()
{
    m_loader->stop();
    while (readSlice(1 << 30, 1 << 30)) {
    }
}

bool FlexGrid::readMore(int maxMilliseconds)
{
    m_loader->stop();
    return readSlice(m_sliceRows, maxMilliseconds);
}

void FlexGrid::resumeLoading()
{
    if (m_cursor)
        m_loader->start();
}

void FlexGrid::stopLoading()
{
    m_loader->stop();
    m_cursor.reset();
}

void FlexGrid::clearGrid()
{
    stopLoading();
    m_model->table().clear();
    m_model->restart();
}

int FlexGrid::Rows() const
{
    return 1 + m_model->rowCount();
}

int FlexGrid::Cols() const
{
    return m_model->columnCount();
}

QString FlexGrid::TextMatrix(int row, int column) const
{
    if (row == 0)
        return m_model->table().title(column);
    return m_model->table().text(row - 1, column);
}

int FlexGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void FlexGrid::setRow(int row)
{
    if (row < 1 || row > m_model->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(m_model->index(row - 1, column));
}

void FlexGrid::setFixedCols(int count)
{
    m_fixedCols = count;
    m_fixed->setVisible(count > 0);
    placeFixedColumn();
}

void FlexGrid::setRedraw(bool on)
{
    m_redraw = on;
    setUpdatesEnabled(on);
}

int FlexGrid::ColWidth(int column) const
{
    // The width as set, while the column still has it: twips do not round
    // trip through pixels.
    const int pixels = columnWidth(column);
    const int set = m_widthsTwips.value(column, -1);
    return set >= 0 && twipsToPixels(set) == pixels ? set : pixelsToTwips(pixels);
}

void FlexGrid::setColWidth(int column, int twips)
{
    if (column >= m_widthsTwips.size())
        m_widthsTwips.resize(column + 1, -1);
    m_widthsTwips[column] = twips;
    setColumnWidth(column, twipsToPixels(twips));
}

Qt::Alignment FlexGrid::ColAlignment(int column) const
{
    return m_model->alignment(column);
}

void FlexGrid::setColAlignment(int column, Qt::Alignment alignment)
{
    m_model->setAlignment(column, alignment);
}

Qt::Alignment FlexGrid::ColAlignmentFixed(int column) const
{
    return m_model->titleAlignment(column);
}

void FlexGrid::setColAlignmentFixed(int column, Qt::Alignment alignment)
{
    m_model->setTitleAlignment(column, alignment);
}

void FlexGrid::setBackColorBkg(qint32 bgr)
{
    m_backColorBkg = bgr;
    QPalette p = palette();
    p.setColor(QPalette::Base, Look::fromOle(bgr));
    setPalette(p);
}

void FlexGrid::setBands(int firstColumn, int lastColumn, qint32 oddBgr, qint32 evenBgr)
{
    m_model->setBands(firstColumn, lastColumn, Look::fromOle(oddBgr), Look::fromOle(evenBgr));
}

QColor FlexGrid::CellBackColor(int row, int column) const
{
    if (row == 0 || (column < m_fixedCols))
        return palette().color(QPalette::Button);
    return m_model->background(row - 1, column);
}

void FlexGrid::placeFixedColumn()
{
    if (!m_fixed->isVisible() && m_fixedCols == 0)
        return;
    // Its header and rows exactly as high as the grid's, or the numbers it
    // shows drift away from their rows.
    m_fixed->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    m_fixed->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    const QRect port = viewport()->geometry();
    const int width = columnWidth(0);
    const int x = isRightToLeft() ? port.right() + 1 - width : port.left();
    m_fixed->setGeometry(x, frameWidth(), width, port.height() + horizontalHeader()->height());
}

void FlexGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    placeFixedColumn();
}
