#include "suite/Procedures.h"

#include "core/Currency.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "suite/Identifiers.h"
#include "suite/Schema.h"
#include "suite/SchemaModel.h"
#include "suite/Sqlite.h"

#include <QDateTime>
#include <QHash>
#include <functional>

namespace suite {

namespace {

using Args = QVariantList;

[[noreturn]] void refuse(const QString &text)
{
    throw VbError::database(text, QStringLiteral("SQLite"));
}

qint32 intArg(const Args &a, int i)
{
    return a.value(i).isNull() ? 0 : Vb::clng(a.value(i));
}

// Account and contract IDs of 0 or less mean "none" and are stored as NULL.
QVariant optionalId(const Args &a, int i)
{
    const QVariant v = a.value(i);
    if (v.isNull())
        return QVariant();
    const qint32 id = Vb::clng(v);
    return id > 0 ? QVariant(id) : QVariant();
}

QVariant money(const Args &a, int i)
{
    const QVariant v = a.value(i);
    return v.isNull() ? QVariant::fromValue(Currency()) : QVariant::fromValue(Vb::ccur(v));
}

void requireRow(sqlite3 *db, const QString &sql, qint32 id, const QString &missing)
{
    if (!sqlite::scalar(db, sql, {id}).isValid())
        refuse(missing.arg(id));
}

// A rule of db/rules, as the build wrote it for this engine.
const QStringList &rule(const QString &name)
{
    static QHash<QString, QStringList> loaded;
    auto it = loaded.find(name);
    if (it == loaded.end())
        it = loaded.insert(name, schema::batches(schemaScript(QStringLiteral(":/db/sqlite/rules/") + name)));
    return *it;
}

// The code a save stores (db/rules/code-to-store.sql); invalid for none.
QVariant codeToStore(sqlite3 *db, qint32 requested, int formTypeId, const QVariant &existing, qint32 receiptId = 0)
{
    const QVariant code = sqlite::scalar(db, rule(QStringLiteral("code-to-store.sql")).value(0),
                                         {requested, formTypeId, receiptId > 0 ? QVariant(receiptId) : QVariant(),
                                          existing.isNull() ? QVariant() : existing});
    return code.isNull() ? QVariant() : QVariant(code.toInt());
}

// A receipt's earlier documents go (db/rules/remove-documents.sql, the
// same statements the servers run): when the document step writes the next
// one (except, the one being written), when it is kept as a draft and when
// it is deleted.
void removeDocumentsOf(sqlite3 *db, qint32 formId, int formTypeId, const QVariant &exceptDocument = QVariant())
{
    // The rule takes a document's header before its rows (they cascade); a
    // file made before the rows cascaded checks its keys at the commit.
    sqlite::exec(db, QStringLiteral("PRAGMA defer_foreign_keys = ON"));
    for (const QString &statement : rule(QStringLiteral("remove-documents.sql")))
        sqlite::exec(db, statement, {formId, formTypeId, exceptDocument});
}

QVariant receiptFormType(sqlite3 *db, qint32 id)
{
    return sqlite::scalar(db, QStringLiteral("SELECT FormTypeID FROM tblRecPayCashTurnDetail WHERE ID = ?"), {id});
}

void deleteReceipt(sqlite3 *db, qint32 id, int formTypeId)
{
    const QVariant blocking = sqlite::scalar(
        db,
        QStringLiteral("SELECT RelatedFormTypeID FROM tblOmberRelatedForms "
                       "WHERE ReferenceFormTypeID = ? AND ReferenceFormID = ? AND RelatedFormTypeID <> ?"),
        {formTypeId, id, ids::RelatedFormRemovable});
    if (blocking.isValid())
        refuse(QStringLiteral("رديف %1 در فرمي از نوع %2 به كار رفته است و حذف نمي شود.")
                   .arg(id)
                   .arg(blocking.toInt()));
    removeDocumentsOf(db, id, formTypeId);
    sqlite::exec(db, QStringLiteral("DELETE FROM tblRecPayCashTurnDetail WHERE ID = ?"), {id});
}

const QString ReceiptMissing = QStringLiteral("دريافت/پرداخت شماره %1 وجود ندارد.");

// @ID io, @CashTurnID, @Code io, @TransactionDate, @FarsiTransactionDate,
// @Description, @Received, @Payed, @RelatedAccountID, @ContractID,
// @FormTypeID, @FormID
int spRecPayInsertCashTurnDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    const qint32 turn = intArg(a, 1);
    requireRow(db, QStringLiteral("SELECT 1 FROM tblRecPayCashTurn WHERE ID = ?"), turn,
               QStringLiteral("نوبت صندوق شماره %1 وجود ندارد."));
    const int formType = a.value(10).isNull() ? ids::FormCashReceipt : intArg(a, 10);
    const QVariant code = codeToStore(db, intArg(a, 2), formType, QVariant());
    // The detail levels the form writes next complete the creation.
    sqlite::exec(db,
                 QStringLiteral("INSERT INTO tblRecPayCashTurnDetail (CashTurnID, Code, TransactionDate, "
                                "FarsiTransactionDate, Description, ReceivedValue, PayedValue, RelatedAccountID, "
                                "ContractID, FormTypeID, FormID, CreateDate, LevelsPending) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,1)"),
                 {turn, code, a.value(3), a.value(4), a.value(5), money(a, 6), money(a, 7), optionalId(a, 8),
                  optionalId(a, 9), formType, a.value(11), QDateTime::currentDateTime()});
    const qint64 id = sqlite::lastInsertId(db);
    tx.commit();
    a[0] = qint32(id);
    a[2] = code.isValid() ? code.toInt() : intArg(a, 2);
    return 0;
}

// @ID, @CashTurnID, @Code io, @TransactionDate, @FarsiTransactionDate,
// @Description, @Received, @Payed, @RelatedAccountID, @ContractID
int spRecPayUpdateCashTurnDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    const qint32 id = intArg(a, 0);
    const RowSet current = sqlite::run(
        db, QStringLiteral("SELECT Code, FormTypeID FROM tblRecPayCashTurnDetail WHERE ID = ?"), {id});
    if (current.rows.isEmpty())
        refuse(ReceiptMissing.arg(id));
    const int formType = current.rows[0][1].toInt();
    const QVariant code = codeToStore(db, intArg(a, 2), formType, current.rows[0][0], id);
    // A draft becoming final is like its creation: the detail levels the
    // form writes next are part of it, not a change of a final receipt. So
    // are those of a new receipt whose save is completed by this call.
    const bool becomesFinal = current.rows[0][0].isNull() && code.isValid();
    sqlite::exec(db,
                 QStringLiteral("UPDATE tblRecPayCashTurnDetail SET CashTurnID = ?, Code = ?, TransactionDate = ?, "
                                "FarsiTransactionDate = ?, Description = ?, ReceivedValue = ?, PayedValue = ?, "
                                "RelatedAccountID = ?, ContractID = ?, "
                                "LevelsPending = CASE WHEN ? = 1 OR LevelsPending = 1 THEN 1 END WHERE ID = ?"),
                 {intArg(a, 1), code, a.value(3), a.value(4), a.value(5), money(a, 6), money(a, 7),
                  optionalId(a, 8), optionalId(a, 9), becomesFinal ? QVariant(1) : QVariant(), id});
    // A receipt kept as a draft has no document. A final one keeps its
    // document until the document step writes the one that replaces it.
    if (!code.isValid())
        removeDocumentsOf(db, id, formType);
    tx.commit();
    a[2] = code.isValid() ? code.toInt() : intArg(a, 2);
    return 0;
}

// @ID, @FormTypeID, @Description, @Received, @Payed, @RelatedAccountID, @ContractID
int spRecPayGeneralUpdateCashTurnDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    const qint32 id = intArg(a, 0);
    const QVariant formType = receiptFormType(db, id);
    if (!formType.isValid())
        refuse(ReceiptMissing.arg(id));
    sqlite::exec(db,
                 QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Description = ?, ReceivedValue = ?, "
                                "PayedValue = ?, RelatedAccountID = ?, ContractID = ? WHERE ID = ?"),
                 {a.value(2), money(a, 3), money(a, 4), optionalId(a, 5), optionalId(a, 6), id});
    // The document stays until the document step writes its replacement.
    tx.commit();
    return 0;
}

// @ID
int spRecPayDeleteCashTurnDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    const qint32 id = intArg(a, 0);
    const QVariant formType = receiptFormType(db, id);
    if (formType.isValid())
        deleteReceipt(db, id, formType.toInt());
    tx.commit();
    return 0;
}

// @ID, @FormTypeID
int spRecPayGeneralDeleteCashTurnDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    const qint32 id = intArg(a, 0);
    const QVariant formType = receiptFormType(db, id);
    if (formType.isValid())
        deleteReceipt(db, id, a.value(1).isNull() ? formType.toInt() : intArg(a, 1));
    tx.commit();
    return 0;
}

// @UserID, @FormPermissionID
int spOmberHasPermission(sqlite3 *db, Args &a)
{
    const QVariant found = sqlite::scalar(
        db, QStringLiteral("SELECT 1 FROM tblOmberUserPermission WHERE UserID = ? AND PermissionID = ?"),
        {intArg(a, 0), intArg(a, 1)});
    return found.isValid() ? 1 : 0;
}

// @ID io, @Code io, @CreatorID, @CreateDate, @FarsiCreateDate, @DocumentDate,
// @FarsiDocumentDate, @Value, @Description
int spAccountInsertDocument(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    // A number once given is never given again, even after its document went.
    const int code = sqlite::scalar(db, QStringLiteral("SELECT max(ifnull(max(Code), 0), ifnull((SELECT LastCode FROM "
                                                       "tblOmberLastCode WHERE TableName = 'tblAccountDocument' AND "
                                                       "FormTypeID = 0), 0)) + 1 FROM tblAccountDocument"))
                         .toInt();
    sqlite::exec(db,
                 QStringLiteral("INSERT INTO tblAccountDocument (Code, CreatorID, CreateDate, FarsiCreateDate, "
                                "DocumentDate, FarsiDocumentDate, Value, Description) VALUES (?,?,?,?,?,?,?,?)"),
                 {code, a.value(2), a.value(3), a.value(4), a.value(5), a.value(6), money(a, 7), a.value(8)});
    const qint64 id = sqlite::lastInsertId(db);
    tx.commit();
    a[0] = qint32(id);
    a[1] = code;
    return 0;
}

// @DocID, @RowNumber, @AccountID, @TransactionDate, @FarsiTransactionDate,
// @Description, @DocumentTypeID, @AdditionalFormID, @ContractID, @PositionID,
// @DebitValue, @CreditValue, @FormID, @FormTypeID
int spAccountInsertDocumentDetail(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    requireRow(db, QStringLiteral("SELECT 1 FROM tblAccountDocument WHERE ID = ?"), intArg(a, 0),
               QStringLiteral("سند حسابداري شماره %1 وجود ندارد."));
    const qint32 account = intArg(a, 2);
    if (account <= 0)
        refuse(QStringLiteral("حساب رديف %1 سند مشخص نشده است.").arg(intArg(a, 1)));
    requireRow(db, QStringLiteral("SELECT 1 FROM tblAccount WHERE ID = ?"), account,
               QStringLiteral("حساب شماره %1 وجود ندارد."));
    // Rows of a receipt written into a new document leave any other one.
    if (intArg(a, 13) == ids::FormCashReceipt && intArg(a, 12) > 0)
        removeDocumentsOf(db, intArg(a, 12), ids::FormCashReceipt, a.value(0));
    sqlite::exec(db,
                 QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, "
                                "TransactionDate, FarsiTransactionDate, Description, DocumentTypeID, "
                                "AdditionalFormID, ContractID, PositionID, DebitValue, CreditValue, FormID, "
                                "FormTypeID) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                 {a.value(0), a.value(1), account, a.value(3), a.value(4), a.value(5), a.value(6), a.value(7),
                  a.value(8), a.value(9), money(a, 10), money(a, 11), a.value(12), a.value(13)});
    tx.commit();
    return 0;
}

// @EventID, @FormCode, @FormTypeID, @Description, @UserID, @EventDate,
// @FarsiEventDate, @EventTime
int spOmberInsertFormAction(sqlite3 *db, Args &a)
{
    sqlite::WriteTransaction tx(db);
    sqlite::exec(db,
                 QStringLiteral("INSERT INTO tblOmberFormAction (EventID, FormCode, FormTypeID, Description, "
                                "UserID, EventDate, FarsiEventDate, EventTime) VALUES (?,?,?,?,?,?,?,?)"),
                 {a.value(0), a.value(1), a.value(2), a.value(3), a.value(4), a.value(5), a.value(6), a.value(7)});
    tx.commit();
    return 0;
}

using Procedure = std::function<int(sqlite3 *, Args &)>;

const QHash<QString, Procedure> &procedures()
{
    static const QHash<QString, Procedure> table = {
        {QStringLiteral("sprecpaydeletecashturndetail"), spRecPayDeleteCashTurnDetail},
        {QStringLiteral("spomberhaspermission"), spOmberHasPermission},
        {QStringLiteral("sprecpaygeneralupdatecashturndetail"), spRecPayGeneralUpdateCashTurnDetail},
        {QStringLiteral("sprecpayupdatecashturndetail"), spRecPayUpdateCashTurnDetail},
        {QStringLiteral("sprecpayinsertcashturndetail"), spRecPayInsertCashTurnDetail},
        {QStringLiteral("spaccountinsertdocument"), spAccountInsertDocument},
        {QStringLiteral("spaccountinsertdocumentdetail"), spAccountInsertDocumentDetail},
        {QStringLiteral("sprecpaygeneraldeletecashturndetail"), spRecPayGeneralDeleteCashTurnDetail},
        {QStringLiteral("spomberinsertformaction"), spOmberInsertFormAction},
    };
    return table;
}

QString key(const QString &name)
{
    QString k = name.trimmed().toLower();
    if (k.startsWith(QStringLiteral("dbo.")))
        k = k.mid(4);
    return k;
}

} // namespace

bool hasProcedure(const QString &name)
{
    return procedures().contains(key(name));
}

int callProcedure(sqlite3 *db, const QString &name, QVariantList &args)
{
    const auto it = procedures().constFind(key(name));
    if (it == procedures().constEnd())
        refuse(QStringLiteral("Could not find stored procedure '%1'.").arg(name));
    return (*it)(db, args);
}

} // namespace suite
