#include "controls/OmberSelector.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "platform/Look.h"

#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// View names come from the form's design; anything else is not queried.
bool plainName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_\\.]*$"));
    return re.match(name).hasMatch();
}
} // namespace

OmberSelector::OmberSelector(QWidget *parent) : LookupBox(parent)
{
    QToolButton *browse = addSideButton(QStringLiteral("…"));
    browse->setObjectName(QStringLiteral("cmdBrowse"));
    browse->setToolTip(QStringLiteral("جستجو در فهرست كامل"));
    connect(browse, &QToolButton::clicked, this, &OmberSelector::browseMajorView);
}

void OmberSelector::setTitle(const QString &title)
{
    m_title = title;
    comboBox()->lineEdit()->setPlaceholderText(title);
    setToolTip(title);
}

void OmberSelector::setViewMinor(const QString &view)
{
    if (view == m_viewMinor)
        return;
    m_viewMinor = view;
    invalidate();
}

QString OmberSelector::listQuery() const
{
    if (!plainName(m_viewMinor))
        return QString();
    return QStringLiteral("Select * From %1 Order By Title").arg(m_viewMinor);
}

QString OmberSelector::rowQuery(qint32 id) const
{
    // The major view holds every row, the minor one only those offered (the
    // active ones): a stored ID is looked up where it surely is.
    const QString view = plainName(m_viewMajor) ? m_viewMajor : m_viewMinor;
    if (!plainName(view))
        return QString();
    return QStringLiteral("Select * From %1 Where ID = %2").arg(view).arg(id);
}

void OmberSelector::browseMajorView()
{
    const QString view = plainName(m_viewMajor) ? m_viewMajor : m_viewMinor;
    if (!plainName(view) || !connection() || !Editable())
        return;
    RowSet rows;
    try {
        rows = connection()->execute(QStringLiteral("Select * From %1").arg(view));
    } catch (const VbError &) {
        return;
    }
    QDialog dialog(window());
    dialog.setObjectName(QStringLiteral("SelectorBrowser"));
    dialog.setWindowTitle(m_title);
    Look::applyFormLook(&dialog);
    auto *filter = new QLineEdit(&dialog);
    filter->setPlaceholderText(QStringLiteral("جستجو..."));
    auto *table = new QTableWidget(int(rows.rows.size()), int(rows.columns.size()), &dialog);
    table->setHorizontalHeaderLabels(rows.columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    const int idColumn = int(rows.columns.indexOf(QRegularExpression(QStringLiteral("^ID$"), QRegularExpression::CaseInsensitiveOption)));
    for (int r = 0; r < rows.rows.size(); ++r)
        for (int c = 0; c < rows.columns.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(Vb::textOf(rows.rows[r][c])));
    table->resizeColumnsToContents();
    QObject::connect(filter, &QLineEdit::textChanged, table, [table](const QString &text) {
        for (int r = 0; r < table->rowCount(); ++r) {
            bool match = text.isEmpty();
            for (int c = 0; c < table->columnCount() && !match; ++c)
                match = table->item(r, c)->text().contains(text, Qt::CaseInsensitive);
            table->setRowHidden(r, !match);
        }
    });
    qint32 picked = 0;
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, [&](int row) {
        picked = Vb::clng(QVariant(table->item(row, idColumn < 0 ? 0 : idColumn)->text()));
        dialog.accept();
    });
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(filter);
    layout->addWidget(table);
    dialog.resize(640, 420);
    if (dialog.exec() == QDialog::Accepted && picked != 0) {
        chooseId(picked);
        if (!IsEmpty())
            Q_EMIT chosen(picked);
    }
}
