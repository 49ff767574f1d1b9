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
#include <QLabel>
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
    letGo();
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
    // first write. The triggers stamp no change for it: who changed the
    // receipt last stays who did.
    const RowSet held = cnt.execute(QStringLiteral("Update tblRecPayCashTurnDetail Set ChangeCount = ChangeCount + 1 "
                                                   "Where ID = ? And ChangeCount = ?"),
                                    {receipt, readCount});
    // Every engine says how many rows it wrote; a count read back could
    // not tell this form's hold from another cashier's change.
    if (held.rowsAffected < 0)
        throw VbError(VbError::InternalError,
                      QStringLiteral("پايگاه داده نگفت كه دريافت نقدي براي ثبت نگه داشته شد يا نه."));
    return held.rowsAffected == 1;
}

void frmRPDCashRec::letGo()
{
    // Work that changed nothing gives the count back, so that nobody who
    // read the receipt before is refused for a change that did not happen.
    // After a change the count has moved on and nothing is written.
    const qint32 held = std::exchange(m_heldCount, 0);
    if (held <= 0)
        return;
    ignoreErrors([&] {
        const RowSet back = Module::dtEn().cnt.execute(QStringLiteral("Update tblRecPayCashTurnDetail Set ChangeCount "
                                                                      "= ? Where ID = ? And ChangeCount = ?"),
                                                       {held - 1, m_heldReceipt, held});
        if (back.rowsAffected == 1 && m_changeCount == held)
            m_changeCount = held - 1;
    });
}

bool frmRPDCashRec::stillAsRead()
{
    if (m_changeCount < 0 || CurrentReceiptID <= 0 || completingNewReceipt())
        return true;
    Connection &cnt = Module::dtEn().cnt;
    if (holdAsRead(cnt, CurrentReceiptID, m_changeCount)) {
        m_heldReceipt = CurrentReceiptID;
        m_heldCount = ++m_changeCount;
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
