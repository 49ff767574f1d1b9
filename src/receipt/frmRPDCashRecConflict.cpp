// Two cashiers on one receipt: a save, return or deletion works on what the
// form read. When the stored receipt has changed since, the work is refused
// with who changed it and when, and the form shows what is stored.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "suite/Identifiers.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QLabel>
#include <limits>
#include <utility>

namespace {

const QString CountColumn = QStringLiteral("ChangeCount");

// "on <Persian date> at <hh:mm> by <name>", whatever of it is known.
QString whoAndWhen(const QVariant &user, const QVariant &at)
{
    const QDateTime moment = at.toDateTime();
    QString text;
    if (moment.isValid())
        text += QStringLiteral(" در تاريخ %1 ساعت %2").arg(PersianDate::fromDate(moment.date()),
                                                           moment.time().toString(QStringLiteral("HH:mm")));
    const QString name = user.isNull() ? QString() : GetUserFullName(Vb::clng(user));
    text += QStringLiteral(" توسط ") + (name.trimmed().isEmpty() ? QStringLiteral("كاربر ديگري") : name.trimmed());
    return text;
}

// The server's clock, as its stamps use: the cashiers' machines may not
// agree on the time (an embedded file has only each machine's own). Its
// wall time is reckoned as is, through no zone's summer hour.
QDateTime databaseNow(Connection &cnt)
{
    const QVariant clock = cnt.execute(QStringLiteral("Select GetDate()")).rows.value(0).value(0);
    const QString text = clock.typeId() == QMetaType::QDateTime
                             ? clock.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                             : clock.toString();
    const QDateTime now(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                        QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss")), Qt::UTC);
    if (!now.isValid())
        throw VbError(VbError::InternalError, QStringLiteral("زمان پايگاه داده خوانده نشد."));
    return now;
}

} // namespace

void frmRPDCashRec::rememberChangeCount(const Recordset &loaded)
{
    // A database made before the count and the hold is used as it was:
    // unchecked.
    const QStringList &columns = loaded.rows().columns;
    m_changeCount = columns.contains(CountColumn, Qt::CaseInsensitive)
                            && columns.contains(QStringLiteral("HeldBy"), Qt::CaseInsensitive)
                        ? Vb::clng(loaded.Fields(CountColumn))
                        : -1;
}

void frmRPDCashRec::readOwnChangeCount()
{
    // After the form's own writes, which each counted: what it shows is
    // what is stored now, read while the receipt is still held. A hold that
    // lapsed meanwhile (a box left open) may have let another form's save
    // in: that count is not this form's, and its next work is refused with
    // who and when. Unknown when it cannot be read: nothing is then refused.
    const qint32 before = m_changeCount;
    m_changeCount = -1;
    if (CurrentReceiptID > 0)
        ignoreErrors([&] {
            const RowSet rs = Module::dtEn().cnt.execute(
                QStringLiteral("Select ChangeCount, HeldBy From tblRecPayCashTurnDetail Where ID = ?"),
                {CurrentReceiptID});
            if (rs.rows.isEmpty() || rs.rows[0][0].isNull())
                return;
            const bool stillOwn = m_heldReceipt != CurrentReceiptID
                                  || (!rs.rows[0][1].isNull() && Vb::clng(rs.rows[0][1]) == holdMark());
            m_changeCount = stillOwn ? Vb::clng(rs.rows[0][0]) : before;
        });
    letGo();
}

qint32 frmRPDCashRec::holdMark()
{
    // This form's own: another form of the same user is another holder.
    if (m_holdMark == 0)
        m_holdMark = QRandomGenerator::global()->bounded(1, std::numeric_limits<qint32>::max());
    return m_holdMark;
}

bool frmRPDCashRec::holdAsRead(Connection &cnt, qint32 receipt, qint32 readCount, qint32 mark)
{
    // Taken, not only compared, in one statement: while this form holds
    // the receipt, another form's hold is refused, so nothing lands between
    // this check and this form's last write however long its boxes stay
    // open. A hold is no change of what the receipt says: no trigger
    // counts or stamps it. One left by a program that went away lapses.
    const QDateTime now = databaseNow(cnt);
    const RowSet held = cnt.execute(
        QStringLiteral("Update tblRecPayCashTurnDetail Set HeldBy = ?, HeldAt = GetDate() Where ID = ? And "
                       "ChangeCount = ? And (HeldBy Is Null Or HeldBy = ? Or HeldAt < ?)"),
        {mark, receipt, readCount, mark, now.addSecs(-HoldLapsesAfterSeconds)});
    // Every engine says how many rows it wrote; a read could not tell.
    if (held.rowsAffected < 0)
        throw VbError(VbError::InternalError,
                      QStringLiteral("پايگاه داده نگفت كه دريافت نقدي براي ثبت نگه داشته شد يا نه."));
    return held.rowsAffected == 1;
}

void frmRPDCashRec::letGo()
{
    // Only this form's own hold: one that lapsed and was taken by another
    // form is that form's. A release that fails lapses in its time, and
    // this form's next hold takes it back at once.
    const qint32 receipt = std::exchange(m_heldReceipt, 0);
    if (receipt <= 0)
        return;
    ignoreErrors([&] {
        Module::dtEn().cnt.execute(QStringLiteral("Update tblRecPayCashTurnDetail Set HeldBy = Null, HeldAt = Null "
                                                  "Where ID = ? And HeldBy = ?"),
                                   {receipt, holdMark()});
    });
}

bool frmRPDCashRec::stillAsRead()
{
    if (m_changeCount < 0 || CurrentReceiptID <= 0 || completingNewReceipt())
        return true;
    Connection &cnt = Module::dtEn().cnt;
    if (holdAsRead(cnt, CurrentReceiptID, m_changeCount, holdMark())) {
        m_heldReceipt = CurrentReceiptID;
        return true;
    }
    const RowSet now = cnt.execute(
        QStringLiteral("Select ChangeCount, ChangedBy, ChangedAt From tblRecPayCashTurnDetail Where ID = ?"),
        {CurrentReceiptID});
    if (!now.rows.isEmpty() && Vb::clng(now.rows[0][0]) == m_changeCount) {
        // Unchanged, but another form is saving it this moment: what this
        // form holds is still what is stored, and stays to be tried again.
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("دريافت نقدي با شماره رايانهاي %1 هم اكنون در برنامه ديگري در حال ثبت است. "
                                   "درخواست شما انجام نشد؛ لحظه اي ديگر دوباره امتحان كنيد.")
                        .arg(CurrentReceiptID));
        return false;
    }

    const QString opening =
        QStringLiteral("دريافت نقدي با شماره رايانهاي %1 پس از آنكه آن را باز كرديد،").arg(CurrentReceiptID);
    const QString ending = QStringLiteral(" درخواست شما انجام نشد.");
    // The receipt the message names is the one shown, whatever the number
    // box holds meanwhile.
    ui->txtID->setText(QString::number(CurrentReceiptID));
    if (!now.rows.isEmpty()) {
        ShowMessage(QStringLiteral("خطا"), opening + whoAndWhen(now.rows[0][1], now.rows[0][2])
                                                + QStringLiteral(" تغيير كرده است.") + ending
                                                + QStringLiteral(" آنچه اكنون ثبت است نمايش داده مي شود."));
        ui->lblMessage->setText(QString());
        reloadStoredReceipt();
        return false;
    }
    // Deleted meanwhile: the record of changes says by whom.
    QString who;
    ignoreErrors([&] {
        const RowSet gone = cnt.execute(QStringLiteral("Select UserID, ChangedAt From tblRecPayCashTurnDetailHistory "
                                                       "Where ReceiptID = ? And Kind = 'delete' Order By ID Desc"),
                                        {CurrentReceiptID});
        if (!gone.rows.isEmpty())
            who = whoAndWhen(gone.rows[0][0], gone.rows[0][1]);
    });
    ShowMessage(QStringLiteral("خطا"), opening + who + QStringLiteral(" حذف شده است.") + ending);
    ui->lblMessage->setText(QString());
    showNoReceipt();
    ignoreErrors([this] { ui->DastelHistory1->LoadHistory(ids::FormCashReceipt, CurrentReceiptID); });
    return false;
}
