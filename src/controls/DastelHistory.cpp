#include "controls/DastelHistory.h"

#include "controls/VbKeys.h"

#include "controls/OmberButton.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "data/ProcedureDefs.h"

#include <QDateTime>
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
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
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
        const RowSet rows = c->execute(
            QStringLiteral("Select Description, UserFullName, FarsiEventDate, EventTime From vwFormHistory "
                           "Where FormTypeID = %1 And FormCode = '%2' Order By ID Desc")
                .arg(formTypeId)
                .arg(recordId));
        for (const auto &row : rows.rows) {
            const int minutes = row[3].isNull() ? -1 : Vb::clng(row[3]);
            const QString time = minutes < 0 ? QString()
                                             : QStringLiteral("%1:%2")
                                                   .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                                   .arg(minutes % 60, 2, 10, QLatin1Char('0'));
            auto *item = new QTreeWidgetItem(
                {Vb::textOf(row[0]), Vb::textOf(row[1]), Vb::textOf(row[2]), time});
            item->setToolTip(0, Vb::textOf(row[0]));
            m_list->addTopLevelItem(item);
        }
        for (int c2 = 1; c2 < 4; ++c2)
            m_list->resizeColumnToContents(c2);
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
