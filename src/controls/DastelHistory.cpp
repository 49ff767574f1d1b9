#include "controls/DastelHistory.h"

#include "controls/VbKeys.h"

#include "controls/OmberButton.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "data/ProcedureDefs.h"

#include "common/SharedServices.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QDebug>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Event number of a note in the action log.
constexpr qint32 NoteEvent = 0;

QString clock(int minutes)
{
    if (minutes < 0)
        return QString();
    return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

struct ChangeText
{
    QString summary;
    QString detail;
};

// A field of a receipt as the cashier knows it, and its value as he reads it.
QString fieldTitle(const QString &field)
{
    static const QHash<QString, QString> titles = {
        {QStringLiteral("Code"), QStringLiteral("شماره تاييد شده")},
        {QStringLiteral("ReceivedValue"), QStringLiteral("مبلغ دريافت")},
        {QStringLiteral("PayedValue"), QStringLiteral("مبلغ پرداخت")},
        {QStringLiteral("Description"), QStringLiteral("بابت")},
        {QStringLiteral("FarsiTransactionDate"), QStringLiteral("تاريخ")},
        {QStringLiteral("RelatedAccountID"), QStringLiteral("طرف حساب")},
        {QStringLiteral("ContractID"), QStringLiteral("پروژه/قرارداد")},
        {QStringLiteral("CashTurnID"), QStringLiteral("نوبت صندوق")},
        {QStringLiteral("BranchID"), QStringLiteral("شعبه")},
        {QStringLiteral("AchieverID"), QStringLiteral("وصول كننده")},
    };
    if (titles.contains(field))
        return titles.value(field);
    if (field.startsWith(QStringLiteral("ClassID")))
        return QStringLiteral("نوع تفصيلي %1").arg(field.right(1));
    if (field.startsWith(QStringLiteral("ObjectID")))
        return QStringLiteral("تفصيلي %1").arg(field.right(1));
    return field;
}

// The names of the IDs a receipt holds, as the cashier knows them: looked
// up once per showing of the history.
class Names
{
public:
    explicit Names(Connection *c) : m_connection(c) {}

    QString of(const QString &field, qint64 id)
    {
        static const QHash<QString, QString> queries = {
            {QStringLiteral("RelatedAccountID"), QStringLiteral("Select Code + ' - ' + Title From vwAccount Where ID = %1")},
            {QStringLiteral("ContractID"), QStringLiteral("Select Title From vwAccountContractProject Where ID = %1")},
            {QStringLiteral("BranchID"), QStringLiteral("Select Title From vwAccountBranchMajor Where ID = %1")},
            {QStringLiteral("AchieverID"), QStringLiteral("Select Title From vwEmployee Where ID = %1")},
            {QStringLiteral("CashTurnID"), QStringLiteral("Select Turn From tblRecPayCashTurn Where ID = %1")},
        };
        const QString key = field + u':' + QString::number(id);
        if (m_cache.contains(key))
            return m_cache.value(key);
        QString name;
        if (m_connection && queries.contains(field)) {
            try {
                const RowSet rows = m_connection->execute(queries.value(field).arg(id));
                if (!rows.rows.isEmpty())
                    name = Vb::textOf(rows.rows[0][0]);
            } catch (const VbError &) {
                // The number alone is shown.
            }
        }
        m_cache.insert(key, name);
        return name;
    }

private:
    Connection *m_connection;
    QHash<QString, QString> m_cache;
};

QString fieldValue(const QString &field, const QJsonValue &value, Names &names)
{
    if (value.isNull() || value.isUndefined())
        return QStringLiteral("(خالي)");
    QString text = value.isDouble() ? Vb::cstr(value.toDouble()) : value.toString();
    if (field.endsWith(QStringLiteral("Value")))
        return FormatThousands(text, QStringLiteral("/"));
    if (value.isDouble()) {
        const QString name = names.of(field, qint64(value.toDouble()));
        if (!name.isEmpty())
            text = name;
    }
    return text;
}

// The fields that differ between the two images, one line each.
ChangeText describeChange(const QString &kind, const QString &before, const QString &after, Names &names)
{
    ChangeText text;
    text.summary = kind == u"return"   ? QStringLiteral("بازگشت به حالت موقت")
                   : kind == u"delete" ? QStringLiteral("حذف دريافت")
                   : kind == u"create" ? QStringLiteral("ايجاد")
                                       : QStringLiteral("اصلاح پس از ثبت نهايي");
    const QJsonObject was = QJsonDocument::fromJson(before.toUtf8()).object();
    const QJsonObject is = QJsonDocument::fromJson(after.toUtf8()).object();
    QStringList lines;
    QStringList fields = was.keys();
    for (const QString &k : is.keys())
        if (!fields.contains(k))
            fields << k;
    for (const QString &field : std::as_const(fields)) {
        // The Gregorian date goes with the Persian one, which is shown.
        if (field == u"TransactionDate")
            continue;
        const QJsonValue a = was.value(field), b = is.value(field);
        if (kind != u"delete" && a == b)
            continue;
        if (kind == u"delete")
            lines << QStringLiteral("%1: %2").arg(fieldTitle(field), fieldValue(field, a, names));
        else
            lines << QStringLiteral("%1: از %2 به %3")
                         .arg(fieldTitle(field), fieldValue(field, a, names), fieldValue(field, b, names));
    }
    if (kind != u"delete" && !lines.isEmpty())
        text.summary += QStringLiteral(" (") + lines.join(QStringLiteral("؛ ")) + QStringLiteral(")");
    text.detail = text.summary + u'\n' + lines.join(u'\n');
    return text;
}

} // namespace

DastelHistory::DastelHistory(QWidget *parent)
    : QWidget(parent), m_list(new QTreeWidget(this)), m_note(new QLineEdit(this)),
      m_addNote(new OmberButton(QStringLiteral("ثبت يادداشت"), this)), m_warning(new QLabel(this))
{
    VbKeys::markUserControl(this);
    setLayoutDirection(Qt::RightToLeft);
    auto *title = new QLabel(QStringLiteral("تاريخچه"), this);
    title->setStyleSheet(QStringLiteral("font-weight: bold; color: #5a4a2f;"));
    m_list->setObjectName(QStringLiteral("lstHistory"));
    m_list->setHeaderLabels({QStringLiteral("شرح"), QStringLiteral("كاربر"), QStringLiteral("تاريخ"),
                             QStringLiteral("ساعت")});
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    // The user, date and time columns are as wide as their longest text can
    // be, set once: measuring them at every receipt shown costs more than
    // the receipt's own queries.
    const QFontMetrics metrics(m_list->font());
    const int pad = 3 * metrics.averageCharWidth();
    const std::pair<int, QString> widest[] = {{1, QStringLiteral("نام و نام خانوادگي كاربر")},
                                              {2, QStringLiteral("1405/12/29")},
                                              {3, QStringLiteral("23:59")}};
    for (const auto &[column, text] : widest) {
        m_list->header()->setSectionResizeMode(column, QHeaderView::Interactive);
        m_list->header()->resizeSection(column, metrics.horizontalAdvance(text) + pad);
    }
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // A change names every field it touched: long lines wrap, not vanish.
    m_list->setWordWrap(true);
    m_note->setObjectName(QStringLiteral("txtNote"));
    m_note->setPlaceholderText(QStringLiteral("يادداشت براي اين دريافت..."));
    m_note->setMaxLength(900);
    m_addNote->setObjectName(QStringLiteral("cmdAddNote"));
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setStyleSheet(QStringLiteral("color: #a33;"));
    m_warning->hide();

    auto *noteRow = new QHBoxLayout;
    noteRow->addWidget(m_note, 1);
    noteRow->addWidget(m_addNote);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(title);
    layout->addWidget(m_list, 1);
    layout->addLayout(noteRow);
    layout->addWidget(m_warning);

    connect(m_note, &QLineEdit::textChanged, this, [this] {
        m_warning->hide();
        updateNoteButton();
    });
    connect(m_addNote, &QPushButton::clicked, this, &DastelHistory::addNote);
    updateNoteButton();
}

DastelHistory::~DastelHistory() = default;

void DastelHistory::setConnectionString(const QString &text)
{
    m_connection.setConnectionString(text);
}

void DastelHistory::setSavedReceiptMode(bool saved)
{
    m_savedMode = saved;
    updateNoteButton();
}

void DastelHistory::updateNoteButton()
{
    const bool canNote = m_savedMode && m_recordId > 0;
    m_note->setEnabled(canNote);
    m_addNote->setEnabled(canNote && !m_note->text().trimmed().isEmpty());
}

void DastelHistory::LoadHistory(qint32 formTypeId, qint32 recordId)
{
    m_formType = formTypeId;
    m_recordId = recordId;
    m_list->clear();
    updateNoteButton();
    Connection *c = m_connection.get();
    if (!c || recordId <= 0)
        return;
    try {
        // The action log says what happened; the record of changes says what
        // a final receipt was before. Both, newest first.
        struct Entry
        {
            QDateTime at;
            qint64 order;
            QStringList texts;
            QString tip;
        };
        QVector<Entry> entries;
        const RowSet actions = c->execute(
            QStringLiteral("Select ID, Description, UserFullName, FarsiEventDate, EventTime, EventDate From vwFormHistory "
                           "Where FormTypeID = %1 And FormCode = '%2' Order By ID Desc")
                .arg(formTypeId)
                .arg(recordId));
        for (const auto &row : actions.rows) {
            const int minutes = row[4].isNull() ? -1 : Vb::clng(row[4]);
            QDateTime at = row[5].toDateTime();
            if (minutes >= 0)
                at = at.date().startOfDay().addSecs(minutes * 60);
            entries.push_back({at, Vb::clng(row[0]),
                               {Vb::textOf(row[1]), Vb::textOf(row[2]), Vb::textOf(row[3]), clock(minutes)},
                               Vb::textOf(row[1])});
        }
        RowSet changes;
        try {
            changes = c->execute(
                // By the number itself, which the record's index covers.
                QStringLiteral("Select ID, Kind, UserFullName, ChangedAt, Before, After From vwFormChangeHistory "
                               "Where FormTypeID = %1 And ReceiptID = %2 Order By ID Desc")
                    .arg(formTypeId)
                    .arg(recordId));
        } catch (const VbError &e) {
            // A database without the record of changes still shows its log.
            qWarning().noquote() << "changes of" << recordId << "could not be read:" << e.description();
        }
        Names names(c);
        for (const auto &row : changes.rows) {
            const QDateTime at = row[3].toDateTime();
            const ChangeText change =
                describeChange(Vb::textOf(row[1]), Vb::textOf(row[4]), Vb::textOf(row[5]), names);
            entries.push_back({at, Vb::clng(row[0]),
                               {change.summary, Vb::textOf(row[2]), PersianDate::fromDate(at.date()),
                                clock(at.time().hour() * 60 + at.time().minute())},
                               change.detail});
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.at > b.at; });
        QList<QTreeWidgetItem *> items;
        for (const Entry &e : entries) {
            auto *item = new QTreeWidgetItem(e.texts);
            item->setToolTip(0, e.tip);
            items << item;
        }
        m_list->addTopLevelItems(items);
    } catch (const VbError &e) {
        qWarning().noquote() << "history of" << recordId << "could not be read:" << e.description();
    }
}

void DastelHistory::Clear()
{
    m_list->clear();
    m_recordId = 0;
    updateNoteButton();
}

bool DastelHistory::CanClose()
{
    if (m_note->text().trimmed().isEmpty())
        return true;
    m_warning->setText(QStringLiteral("يادداشت ثبت نشده است؛ آن را ثبت يا پاك كنيد."));
    m_warning->show();
    m_note->setFocus();
    return false;
}

int DastelHistory::entryCount() const
{
    return m_list->topLevelItemCount();
}

QStringList DastelHistory::entry(int row) const
{
    QStringList texts;
    if (const QTreeWidgetItem *item = m_list->topLevelItem(row))
        for (int c = 0; c < 4; ++c)
            texts << item->text(c);
    return texts;
}

void DastelHistory::addNote()
{
    const QString note = m_note->text().trimmed();
    Connection *c = m_connection.get();
    if (!c || note.isEmpty() || m_recordId <= 0 || !m_savedMode)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QVariantList args = {NoteEvent,
                         QString::number(m_recordId),
                         m_formType,
                         QString(QStringLiteral("يادداشت: ") + note),
                         qint32(m_userId),
                         now,
                         PersianDate::fromDate(now.date()),
                         now.time().hour() * 60 + now.time().minute()};
    try {
        c->call(Procedures::OmberInsertFormAction, args);
        m_note->clear();
        LoadHistory(m_formType, m_recordId);
    } catch (const VbError &e) {
        m_warning->setText(e.description());
        m_warning->show();
    }
}
