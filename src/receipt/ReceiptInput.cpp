#include "receipt/ReceiptInput.h"

#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/AmountEntry.h"
#include "data/ProcedureDefs.h"
#include "data/SqlText.h"

#include <QLineEdit>
#include <QTimer>

namespace {

// The longest description the procedures take.
int descriptionLimit()
{
    for (const ProcedureParam &p : Procedures::RecPayInsertCashTurnDetail.params)
        if (qstrcmp(p.name, "@Description") == 0)
            return p.size;
    return 250;
}

void refuse(QLineEdit *box, const QString &message, int selectFrom, int selectLength)
{
    ShowMessage(QStringLiteral("اشكال"), message);
    ignoreErrors([&] { box->setFocus(); });
    // After what the box selects itself on getting the focus (the
    // description selects its whole text, a moment later).
    if (selectLength > 0)
        QTimer::singleShot(0, box, [box, selectFrom, selectLength] { box->setSelection(selectFrom, selectLength); });
}

} // namespace

bool receiptInputStorable(QLineEdit *description, QLineEdit *amount, bool finalReceipt)
{
    const QString typed = description->text();
    // The blanks the save trims do not count.
    qsizetype begin = 0, end = typed.size();
    while (begin < end && typed.at(begin) == u' ')
        ++begin;
    while (end > begin && typed.at(end - 1) == u' ')
        --end;
    const QString stored = typed.mid(begin, end - begin);

    if (const qsizetype at = finalReceipt ? SqlText::firstControlCharacter(stored) : -1; at >= 0) {
        refuse(description,
               QStringLiteral("شرح دريافت نويسه اي دارد كه ذخيره نمي شود (سطر جديد، Tab يا نويسه كنترلي ديگر، در "
                              "جاي %1). آن را پاك كنيد.")
                   .arg(at + 1),
               int(begin + at), 1);
        return false;
    }
    const int limit = descriptionLimit();
    if (stored.size() > limit) {
        refuse(description,
               QStringLiteral("شرح دريافت %1 نويسه است ولي بيش از %2 نويسه ذخيره نمي شود. آن را كوتاه كنيد.")
                   .arg(stored.size())
                   .arg(limit),
               int(begin + limit), int(stored.size() - limit));
        return false;
    }
    if (AmountEntry::tooLarge(amount->text())) {
        refuse(amount, QStringLiteral("مبلغ وارد شده بيش از حد مجاز است."), 0, int(amount->text().size()));
        return false;
    }
    return true;
}
