#include "data/DtEn.h"

#include "core/Vb.h"
#include "core/VbError.h"
#include "data/ProcedureDefs.h"

namespace {

QVariant money(Currency c)
{
    return QVariant::fromValue(c);
}

QVariant convert(const QVariant &value, const ProcedureParam &p)
{
    if (value.isNull())
        return QVariant();
    switch (p.type) {
    case ProcedureParam::Int:
        return Vb::clng(value);
    case ProcedureParam::Money:
        return QVariant::fromValue(Vb::ccur(value));
    case ProcedureParam::DateTime: {
        if (value.typeId() == QMetaType::QDateTime)
            return value;
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().startOfDay();
        QDateTime dt = QDateTime::fromString(value.toString(), Qt::ISODate);
        if (!dt.isValid())
            dt = QDateTime::fromString(value.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid())
            throw VbError::typeMismatch();
        return dt;
    }
    case ProcedureParam::VarChar: {
        const QString text = Vb::textOf(value);
        if (text.size() > p.size)
            throw VbError(VbError::WrongParameterValue,
                          QStringLiteral("مقدار پارامتر %1 بيش از %2 نويسه است.")
                              .arg(QString::fromLatin1(p.name))
                              .arg(p.size),
                          QStringLiteral("ADODB.Parameter"));
        return text;
    }
    }
    return value;
}

} // namespace

const QString DtEn::StoredConnectionString = QStringLiteral("Provider=MSDAOSP.1;Persist Security Info=False;");

DtEn::DtEn()
    : cnt(StoredConnectionString),
      rssqlUser(&cnt, QStringLiteral("rssqlUser"), QStringLiteral("Select * From tblUser")),
      rssqlvwCashPermit(&cnt, QStringLiteral("rssqlvwCashPermit"), QStringLiteral("Select * from vwCashPermit")),
      rssqlRPDCashTurn(&cnt, QStringLiteral("rssqlRPDCashTurn"), QStringLiteral("Select * from tblRecPayCashTurn")),
      rssqlRPDCashTurnDetail(&cnt, QStringLiteral("rssqlRPDCashTurnDetail"),
                             QStringLiteral("select * from tblRecPayCashTurnDetail")),
      rssqlvwRPDCashTyrndetailSearch(&cnt, QStringLiteral("rssqlvwRPDCashTyrndetailSearch"),
                                     QStringLiteral("Select * from vwRPDCashTyrndetailSearch")),
      rssqlRPDCash(&cnt, QStringLiteral("rssqlRPDCash"), QStringLiteral("select * from tblRecPayCash")),
      rssqlRPDCashPermitedUsers(&cnt, QStringLiteral("rssqlRPDCashPermitedUsers"),
                                QStringLiteral("Select * From tblRecPayCashUsers")),
      rssqlOmberTemplate(&cnt, QStringLiteral("rssqlOmberTemplate"),
                         QStringLiteral("Select * From tblTilvaReportTemplates")),
      rssqlOmberBasePath(&cnt, QStringLiteral("rssqlOmberBasePath"), QStringLiteral("Select * From tblOmberBasePath"))
{
}

DtEn::~DtEn() = default;

QVector<Recordset *> DtEn::recordsets()
{
    return {&rssqlUser,    &rssqlvwCashPermit,         &rssqlRPDCashTurn,   &rssqlRPDCashTurnDetail,
            &rssqlvwRPDCashTyrndetailSearch, &rssqlRPDCash, &rssqlRPDCashPermitedUsers, &rssqlOmberTemplate,
            &rssqlOmberBasePath};
}

Recordset *DtEn::recordset(const QString &name)
{
    for (Recordset *rs : recordsets())
        if (rs->name().compare(name, Qt::CaseInsensitive) == 0
            || rs->name().mid(2).compare(name, Qt::CaseInsensitive) == 0)
            return rs;
    return nullptr;
}

int DtEn::invoke(const ProcedureDef &procedure, QVariantList &args)
{
    if (args.size() != procedure.params.size())
        throw VbError(VbError::WrongParameterValue,
                      QStringLiteral("%1 expects %2 arguments, got %3.")
                          .arg(QString::fromLatin1(procedure.name))
                          .arg(procedure.params.size())
                          .arg(args.size()),
                      QStringLiteral("ADODB.Command"));
    for (int i = 0; i < args.size(); ++i)
        args[i] = convert(args[i], procedure.params[i]);
    const int result = cnt.call(procedure, args);
    for (int i = 0; i < args.size(); ++i)
        if (procedure.params[i].direction == ProcedureParam::InOut)
            args[i] = convert(args[i], procedure.params[i]);
    return result;
}

int DtEn::callByName(const QString &procedure, QVariantList &args)
{
    const ProcedureDef *def = Procedures::find(procedure);
    if (!def)
        throw VbError(VbError::ItemNotFound, QStringLiteral("Unknown procedure %1").arg(procedure),
                      QStringLiteral("DtEn"));
    return invoke(*def, args);
}

namespace {
// An in/out argument comes back as the procedure left it; a null leaves the
// caller's variable as it was, as a Long cannot hold Null.
void takeBack(qint32 &target, const QVariant &value)
{
    if (!value.isNull())
        target = Vb::clng(value);
}
} // namespace

int DtEn::spRecPayDeleteCashTurnDetail(qint32 ID)
{
    QVariantList a = {ID};
    return invoke(Procedures::RecPayDeleteCashTurnDetail, a);
}

int DtEn::spOmberHasPermission(qint32 UserID, qint32 FormPermissionID)
{
    QVariantList a = {UserID, FormPermissionID};
    return invoke(Procedures::OmberHasPermission, a);
}

int DtEn::spRecPayGeneralUpdateCashTurnDetail(qint32 ID, qint32 FormTypeID, const QString &Description,
                                              Currency Received, Currency Payed, qint32 RelatedAccountID,
                                              qint32 ContractID)
{
    QVariantList a = {ID, FormTypeID, Description, money(Received), money(Payed), RelatedAccountID, ContractID};
    return invoke(Procedures::RecPayGeneralUpdateCashTurnDetail, a);
}

int DtEn::spRecPayUpdateCashTurnDetail(qint32 ID, qint32 CashTurnID, qint32 &Code, const QDateTime &TransactionDate,
                                       const QString &FarsiTransactionDate, const QString &Description,
                                       Currency Received, Currency Payed, qint32 RelatedAccountID, qint32 ContractID)
{
    QVariantList a = {ID,          CashTurnID,     Code,          TransactionDate,  FarsiTransactionDate,
                      Description, money(Received), money(Payed), RelatedAccountID, ContractID};
    const int r = invoke(Procedures::RecPayUpdateCashTurnDetail, a);
    takeBack(Code, a[2]);
    return r;
}

int DtEn::spRecPayInsertCashTurnDetail(qint32 &ID, qint32 CashTurnID, qint32 &Code, const QDateTime &TransactionDate,
                                       const QString &FarsiTransactionDate, const QString &Description,
                                       Currency Received, Currency Payed, qint32 RelatedAccountID, qint32 ContractID,
                                       qint32 FormTypeID, qint32 FormID)
{
    QVariantList a = {ID,           CashTurnID,       Code,       TransactionDate, FarsiTransactionDate,
                      Description,  money(Received),  money(Payed), RelatedAccountID, ContractID,
                      FormTypeID,   FormID};
    const int r = invoke(Procedures::RecPayInsertCashTurnDetail, a);
    takeBack(ID, a[0]);
    takeBack(Code, a[2]);
    return r;
}

int DtEn::spAccountInsertDocument(qint32 &ID, qint32 &Code, qint32 CreatorID, const QDateTime &CreateDate,
                                  const QString &FarsiCreateDate, const QDateTime &DocumentDate,
                                  const QString &FarsiDocumentDate, Currency Value, const QString &Description)
{
    QVariantList a = {ID,           Code,              CreatorID,    CreateDate, FarsiCreateDate,
                      DocumentDate, FarsiDocumentDate, money(Value), Description};
    const int r = invoke(Procedures::AccountInsertDocument, a);
    takeBack(ID, a[0]);
    takeBack(Code, a[1]);
    return r;
}

int DtEn::spAccountInsertDocumentDetail(qint32 DocID, qint32 RowNumber, qint32 AccountID,
                                        const QDateTime &TransactionDate, const QString &FarsiTransactionDate,
                                        const QString &Description, qint32 DocumentTypeID,
                                        const QString &AdditionalFormID, qint32 ContractID, qint32 PositionID,
                                        Currency DebitValue, Currency CreditValue, qint32 FormID, qint32 FormTypeID)
{
    QVariantList a = {DocID,      RowNumber,         AccountID,          TransactionDate, FarsiTransactionDate,
                      Description, DocumentTypeID,   AdditionalFormID,   ContractID,      PositionID,
                      money(DebitValue), money(CreditValue), FormID,     FormTypeID};
    return invoke(Procedures::AccountInsertDocumentDetail, a);
}

int DtEn::spRecPayGeneralDeleteCashTurnDetail(qint32 ID, qint32 FormTypeID)
{
    QVariantList a = {ID, FormTypeID};
    return invoke(Procedures::RecPayGeneralDeleteCashTurnDetail, a);
}

int DtEn::spOmberInsertFormAction(qint32 EventID, const QString &FormCode, qint32 FormTypeID,
                                  const QString &Description, qint32 UserID, const QDateTime &EventDate,
                                  const QString &FarsiEventDate, qint32 EventTime)
{
    QVariantList a = {EventID, FormCode, FormTypeID, Description, UserID, EventDate, FarsiEventDate, EventTime};
    return invoke(Procedures::OmberInsertFormAction, a);
}
