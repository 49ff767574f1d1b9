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
#include "data/DtEn.h"
#include "suite/Identifiers.h"

#include <QDateTime>
#include <QLabel>

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

} // namespace

void frmRPDCashRec::rememberChangeCount(const Recordset &loaded)
{
    // A database made before the count is used as it was: unchecked.
    m_changeCount = loaded.rows().columns.contains(CountColumn, Qt::CaseInsensitive)
                        ? Vb::clng(loaded.Fields(CountColumn))
                        : -1;
}

void frmRPDCashRec::readOwnChangeCount()
{
    // After the form's own writes, which each counted: what it shows is
    // what is stored now. Unknown when it cannot be read: nothing is then
    // refused.
    m_changeCount = -1;
    if (CurrentReceiptID <= 0)
        return;
    ignoreErrors([this] {
        const RowSet rs = Module::dtEn().cnt.execute(
            QStringLiteral("Select ChangeCount From tblRecPayCashTurnDetail Where ID = ?"), {CurrentReceiptID});
        if (!rs.rows.isEmpty() && !rs.rows[0][0].isNull())
            m_changeCount = Vb::clng(rs.rows[0][0]);
    });
}

bool frmRPDCashRec::holdAsRead(Connection &cnt, qint32 receipt, qint32 readCount)
{
    // Taken, not only compared: the count moves on in the same statement.
    // Another cashier's form holding the same reading then finds it moved
    // and is refused, so nothing lands between this check and this form's
    // first write. A hold that is not followed by a write only says that
    // the receipt was saved as it was.
    const RowSet held = cnt.execute(QStringLiteral("Update tblRecPayCashTurnDetail Set ChangeCount = ChangeCount + 1 "
                                                   "Where ID = ? And ChangeCount = ?"),
                                    {receipt, readCount});
    if (held.rowsAffected >= 0)
        return held.rowsAffected == 1;
    // A driver that does not say how many rows it wrote: the count read back.
    const RowSet now =
        cnt.execute(QStringLiteral("Select ChangeCount From tblRecPayCashTurnDetail Where ID = ?"), {receipt});
    return !now.rows.isEmpty() && Vb::clng(now.rows[0][0]) == readCount + 1;
}

bool frmRPDCashRec::stillAsRead()
{
    if (m_changeCount < 0 || CurrentReceiptID <= 0 || completingNewReceipt())
        return true;
    Connection &cnt = Module::dtEn().cnt;
    if (holdAsRead(cnt, CurrentReceiptID, m_changeCount)) {
        ++m_changeCount;
        return true;
    }
    const RowSet now = cnt.execute(
        QStringLiteral("Select ChangeCount, ChangedBy, ChangedAt From tblRecPayCashTurnDetail Where ID = ?"),
        {CurrentReceiptID});

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
