#include "data/ConsistencyCheck.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "suite/Identifiers.h"

#include <QStringList>

#include <algorithm>

namespace {

QString number(const QVariant &v)
{
    return v.isNull() ? QStringLiteral("(خالي)") : Vb::textOf(v);
}

QString idList(const RowSet &rows)
{
    QStringList ids;
    for (const auto &row : rows.rows)
        ids << number(row.value(0));
    return ids.join(QStringLiteral("، "));
}

// Rows of cash receipts whose receipt is not in the table, as a condition
// on tblAccountDocumentDetail named x; its one value is the form type.
const QString OrphanRows = QStringLiteral(
    "x.FormTypeID = ? And Not Exists (Select 1 From tblRecPayCashTurnDetail d Where d.ID = x.FormID)");
const QVariantList ReceiptForm = {ids::FormCashReceipt};

} // namespace

ConsistencyCheck::ConsistencyCheck(Connection &connection) : m_cnt(connection) {}

bool ConsistencyCheck::documentsOn()
{
    // As the receipt form reads it when it loads.
    return !m_cnt.execute(QStringLiteral("Select * From tblOmberSystemParameters Where ID = ? and Value=1"),
                          {ids::ParamAccountingDocuments})
                .rows.isEmpty();
}

QVector<ConsistencyCheck::Finding> ConsistencyCheck::run()
{
    QVector<Finding> found;

    if (m_cnt.engine() == Dialect::Engine::Sqlite) {
        const RowSet integrity = m_cnt.execute(QStringLiteral("PRAGMA integrity_check"));
        for (const auto &row : integrity.rows) {
            const QString line = Vb::textOf(row.value(0));
            if (line != u"ok")
                found.push_back({Kind::DamagedFile, QStringLiteral("فايل پايگاه داده آسيب ديده است: ") + line, false});
        }
    }

    if (documentsOn())
        listRows(found, Kind::ReceiptWithoutDocument,
                 QStringLiteral("Select d.ID, d.Code From tblRecPayCashTurnDetail d Where d.FormTypeID = ? And "
                                "d.PayedValue = 0 And d.Code > 0 And Not Exists (Select 1 From tblAccountDocumentDetail x "
                                "Where x.FormID = d.ID And x.FormTypeID = d.FormTypeID) Order By d.ID"),
                 ReceiptForm, QStringLiteral("دريافت %1 با شماره تاييد %2 سند حسابداري ندارد."), false);

    listRows(found, Kind::DocumentWithoutReceipt,
             QStringLiteral("Select x.DocumentID, count(*) As RowsOfIt, x.FormID From tblAccountDocumentDetail x Where ")
                 + OrphanRows + QStringLiteral(" Group By x.DocumentID, x.FormID Order By x.DocumentID, x.FormID"),
             ReceiptForm, QStringLiteral("سند حسابداري %1 (%2 رديف) براي دريافت %3 است كه وجود ندارد."), true);

    {
        const RowSet rows = m_cnt.execute(
            QStringLiteral("Select x.FormID, count(Distinct x.DocumentID) As Documents From tblAccountDocumentDetail x "
                           "Where x.FormTypeID = ? And Exists (Select 1 From tblRecPayCashTurnDetail d Where d.ID = "
                           "x.FormID) Group By x.FormID Having count(Distinct x.DocumentID) > 1 Order By x.FormID"),
            ReceiptForm);
        for (const auto &row : rows.rows) {
            const RowSet documents = m_cnt.execute(
                QStringLiteral("Select Distinct DocumentID From tblAccountDocumentDetail Where FormTypeID = ? "
                               "And FormID = ? Order By DocumentID"),
                {ids::FormCashReceipt, Vb::clng(row.value(0))});
            found.push_back({Kind::ReceiptWithTwoDocuments,
                             QStringLiteral("دريافت %1 در %2 سند حسابداري آمده است: %3.")
                                 .arg(number(row.value(0)), number(row.value(1)), idList(documents)),
                             false});
        }
    }

    {
        const RowSet rows = m_cnt.execute(QStringLiteral(
            "Select u.CashTurnID, t.ID As TurnID, t.UserID As OpenerID, t.Turn, c.Name As CashName, "
            "count(*) As Members From tblRecPayCashTurnUser u Left Join tblRecPayCashTurn t On t.ID = u.CashTurnID "
            "Left Join tblRecPayCash c On c.ID = t.CashID "
            "Where t.ID Is Null Or t.UserID Is Null Or Not Exists (Select 1 From tblUser o Where o.ID = t.UserID) "
            "Group By u.CashTurnID, t.ID, t.UserID, t.Turn, c.Name Order By u.CashTurnID"));
        for (const auto &row : rows.rows) {
            const bool turnGone = row.value(1).isNull();
            const QString members = number(row.value(5));
            // The turn as the cashiers know it: its number in its cash box.
            const QString turn = turnGone ? QStringLiteral("با رديف %1").arg(number(row.value(0)))
                                          : QStringLiteral("%1 صندوق «%2» (رديف %3)")
                                                .arg(number(row.value(3)), Vb::textOf(row.value(4)),
                                                     number(row.value(0)));
            found.push_back(
                {Kind::TurnMembersWithoutOpener,
                 turnGone ? QStringLiteral("نوبت صندوق %1 وجود ندارد ولي براي آن %2 عضو ثبت شده است.").arg(turn, members)
                 : row.value(2).isNull()
                     ? QStringLiteral("باز كننده نوبت %1 مشخص نيست؛ اين نوبت %2 عضو دارد.").arg(turn, members)
                     : QStringLiteral("باز كننده نوبت %1، كاربر %2، وجود ندارد؛ اين نوبت %3 عضو دارد.")
                           .arg(turn, number(row.value(2)), members),
                 turnGone});
        }
    }

    // A receipt's document rows are its debit and its credit: more is a
    // row written twice, one a save stopped between them.
    listRows(found, Kind::ReceiptRowsNotAPair,
             QStringLiteral("Select x.FormID, Count(*) As Rows From tblAccountDocumentDetail x Where x.FormTypeID = ? "
                            "Group By x.FormID Having Count(*) <> 2 Order By x.FormID"),
             ReceiptForm, QStringLiteral("دريافت %1 در سند حسابداري %2 رديف دارد، نه يك رديف بدهكار و يك رديف بستانكار."),
             false);

    {
        const RowSet rows = m_cnt.execute(QStringLiteral(
            "Select FormTypeID, Code, count(*) As Receipts From tblRecPayCashTurnDetail Where Code Is Not Null "
            "Group By FormTypeID, Code Having count(*) > 1 Order By FormTypeID, Code"));
        for (const auto &row : rows.rows) {
            const RowSet receipts = m_cnt.execute(
                QStringLiteral("Select ID From tblRecPayCashTurnDetail Where FormTypeID = ? And Code = ? Order By ID"),
                {Vb::clng(row.value(0)), Vb::clng(row.value(1))});
            found.push_back({Kind::CodeUsedTwice,
                             QStringLiteral("شماره تاييد %1 در نوع فرم %2 به %3 رديف داده شده است: %4.")
                                 .arg(number(row.value(1)), number(row.value(0)), number(row.value(2)),
                                      idList(receipts)),
                             false});
        }
    }

    // A turn's count is settled at its close: a receipt of a closed turn
    // changed, added or removed afterwards makes its difference wrong. What
    // the turn should hold now is compared with what it should have held
    // then (stored at the close; for a turn closed before that was stored,
    // the count less its difference), and a recorded change of one of its
    // final receipts dated after the close is enough. A database made by an
    // older program lacks what it did not store; what it has is checked.
    const bool opening = has(QStringLiteral("tblRecPayCashTurn"), QStringLiteral("OpeningCash"));
    const QString holdsNow =
        (opening ? QStringLiteral("Coalesce(t.OpeningCash, 0)") : QStringLiteral("0"))
        + QStringLiteral(" + Coalesce((Select Sum(d.ReceivedValue) - Sum(d.PayedValue) From tblRecPayCashTurnDetail d "
                         "Where d.CashTurnID = t.ID), 0)");
    const QString heldThen = has(QStringLiteral("tblRecPayCashTurn"), QStringLiteral("ExpectedCash"))
                                 ? QStringLiteral("Coalesce(t.ExpectedCash, t.CountedCash - t.CashDifference)")
                             : has(QStringLiteral("tblRecPayCashTurn"), QStringLiteral("CountedCash"))
                                 ? QStringLiteral("(t.CountedCash - t.CashDifference)")
                                 : QString();
    QStringList changed;
    if (!heldThen.isEmpty())
        // Amounts with a fraction are floating point on the file: less than
        // half a ten-thousandth (the precision of money) is no change.
        changed << QStringLiteral("Abs(") + heldThen + QStringLiteral(" - (") + holdsNow
                       + QStringLiteral(")) >= 0.00005");
    if (has(QStringLiteral("tblRecPayCashTurnDetailHistory"), QStringLiteral("ChangedAt")))
        changed << QStringLiteral("Exists (Select 1 From tblRecPayCashTurnDetailHistory h Inner Join "
                                  "tblRecPayCashTurnDetail d On d.ID = h.ReceiptID Where d.CashTurnID = t.ID And "
                                  "h.ChangedAt > t.CloseDate)");
    if (!changed.isEmpty())
        listRows(found, Kind::TurnChangedAfterClose,
                 QStringLiteral("Select t.Turn, c.Name As CashName, t.ID, t.FarsiCloseDate, ")
                     + (heldThen.isEmpty() ? QStringLiteral("Null") : heldThen) + QStringLiteral(" As HeldThen, ")
                     + holdsNow
                     + QStringLiteral(" As HoldsNow From tblRecPayCashTurn t Left Join tblRecPayCash c On c.ID = "
                                      "t.CashID Where t.IsOpen = 0 And (")
                     + changed.join(QStringLiteral(" Or ")) + QStringLiteral(") Order By t.ID"),
                 {}, QStringLiteral("دريافت هاي نوبت %1 صندوق «%2» (رديف %3) پس از بستن آن در %4 تغيير كرده است: مانده "
                                "مورد انتظار هنگام بستن %5 و اكنون %6 ريال."),
                 false);

    // What a save stopped between its steps leaves: a header without rows,
    // or a document with its debit row and not its credit.
    listRows(found, Kind::EmptyDocument,
             QStringLiteral("Select a.ID, a.Code From tblAccountDocument a Where Not Exists (Select 1 From "
                            "tblAccountDocumentDetail x Where x.DocumentID = a.ID) Order By a.ID"),
             {}, QStringLiteral("سند حسابداري %1 (شماره %2) هيچ رديفي ندارد."), false);
    listRows(found, Kind::UnbalancedDocument,
             QStringLiteral("Select x.DocumentID, Sum(x.DebitValue) As Debits, Sum(x.CreditValue) As Credits "
                            "From tblAccountDocumentDetail x Group By x.DocumentID "
                            "Having Sum(x.DebitValue) <> Sum(x.CreditValue) Order By x.DocumentID"),
             {}, QStringLiteral("سند حسابداري %1 تراز نيست: جمع بدهكار %2 و جمع بستانكار %3 ريال."), false);
    if (has(QStringLiteral("tblOmberLastCode"), QStringLiteral("LastCode")))
        listRows(found, Kind::CodeNotNoted,
                 QStringLiteral("Select d.FormTypeID, Max(d.Code) As Given, Max(l.LastCode) As Noted From "
                                "tblRecPayCashTurnDetail d Left Join tblOmberLastCode l On l.TableName = "
                                "'tblRecPayCashTurnDetail' And l.FormTypeID = d.FormTypeID Where d.Code Is Not Null "
                                "Group By d.FormTypeID Having Max(d.Code) > Coalesce(Max(l.LastCode), 0) "
                                "Order By d.FormTypeID"),
                 {}, QStringLiteral("در نوع فرم %1 شماره تاييد %2 داده شده ولي بالاترين شماره ثبت شده %3 است؛ شماره "
                                "دريافتي كه حذف شود ممكن است دوباره داده شود."),
                 false);
    return found;
}

bool ConsistencyCheck::has(const QString &table, const QString &column)
{
    try {
        m_cnt.execute(QStringLiteral("Select ") + column + QStringLiteral(" From ") + table + QStringLiteral(" Where 1 = 0"));
        return true;
    } catch (const VbError &) {
        return false;
    }
}

void ConsistencyCheck::listRows(QVector<Finding> &found, Kind kind, const QString &sql, const QVariantList &params,
                                const QString &text, bool repairable)
{
    for (const auto &row : m_cnt.execute(sql, params).rows) {
        // The row's columns fill the text's places in order.
        QString line = text;
        for (const QVariant &value : row)
            line = line.arg(number(value));
        found.push_back({kind, line, repairable});
    }
}

bool ConsistencyCheck::damaged(const QVector<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding &f) { return f.kind == Kind::DamagedFile; });
}

QStringList ConsistencyCheck::repair()
{
    QStringList done;
    m_cnt.execute(QStringLiteral("BEGIN TRANSACTION"));
    try {
        const RowSet documents = m_cnt.execute(
            QStringLiteral("Select Distinct x.DocumentID From tblAccountDocumentDetail x Where ") + OrphanRows
                + QStringLiteral(" Order By x.DocumentID"),
            ReceiptForm);
        if (!documents.rows.isEmpty()) {
            const RowSet counted =
                m_cnt.execute(QStringLiteral("Select count(*) As n From tblAccountDocumentDetail x Where ") + OrphanRows,
                              ReceiptForm);
            m_cnt.execute(QStringLiteral("Delete From tblAccountDocumentDetail Where FormTypeID = ? And Not Exists "
                                         "(Select 1 From tblRecPayCashTurnDetail d Where d.ID = "
                                         "tblAccountDocumentDetail.FormID)"),
                          ReceiptForm);
            done << QStringLiteral("%1 رديف سند حسابداري كه دريافتشان وجود ندارد حذف شد.")
                        .arg(number(counted.rows.value(0).value(0)));
            for (const auto &row : documents.rows) {
                if (row.value(0).isNull())
                    continue;
                const qint32 doc = Vb::clng(row.value(0));
                const bool rowsLeft =
                    !m_cnt.execute(QStringLiteral("Select 1 From tblAccountDocumentDetail Where DocumentID = ?"), {doc})
                         .rows.isEmpty();
                // The objects of the rows that went go with them.
                m_cnt.execute(QStringLiteral("Delete From tblAccountDocumentObjects Where DocumentID = ? And "
                                             "RowNumber Not In (Select RowNumber From tblAccountDocumentDetail Where "
                                             "DocumentID = ?)"),
                              {doc, doc});
                if (rowsLeft) {
                    m_cnt.execute(QStringLiteral("Update tblAccountDocument Set Value = (Select Sum(DebitValue) From "
                                                 "tblAccountDocumentDetail Where DocumentID = ?) Where ID = ?"),
                                  {doc, doc});
                    done << QStringLiteral("سند حسابداري %1 با رديف هاي ديگرش ماند و مبلغش دوباره حساب شد.").arg(doc);
                } else {
                    m_cnt.execute(QStringLiteral("Delete From tblAccountDocument Where ID = ?"), {doc});
                    done << QStringLiteral("سند حسابداري %1 كه رديفي برايش نماند حذف شد.").arg(doc);
                }
            }
        }

        const RowSet members = m_cnt.execute(QStringLiteral(
            "Select count(*) As n From tblRecPayCashTurnUser u Where Not Exists "
            "(Select 1 From tblRecPayCashTurn t Where t.ID = u.CashTurnID)"));
        if (Vb::clng(members.rows.value(0).value(0)) > 0) {
            m_cnt.execute(QStringLiteral("Delete From tblRecPayCashTurnUser Where Not Exists (Select 1 From "
                                         "tblRecPayCashTurn t Where t.ID = tblRecPayCashTurnUser.CashTurnID)"));
            done << QStringLiteral("%1 عضو نوبت هاي صندوقي كه وجود ندارند حذف شد.")
                        .arg(number(members.rows.value(0).value(0)));
        }
        m_cnt.execute(QStringLiteral("COMMIT TRANSACTION"));
    } catch (...) {
        try {
            m_cnt.execute(QStringLiteral("ROLLBACK TRANSACTION"));
        } catch (const VbError &) {
        }
        throw;
    }
    return done;
}
