#include "data/ProcedureDefs.h"

namespace Procedures {

using P = ProcedureParam;

const ProcedureDef RecPayDeleteCashTurnDetail{
    "spRecPayDeleteCashTurnDetail", "{? = CALL spRecPayDeleteCashTurnDetail( ?) }", "@RETURN_VALUE",
    {{"@ID", P::In, P::Int, 0}}};

const ProcedureDef OmberHasPermission{
    "spOmberHasPermission", "{? = CALL spOmberHasPermission( ?, ?) }", "@RETURN_VALUE",
    {{"@UserID", P::In, P::Int, 0}, {"@FormPermissionID", P::In, P::Int, 0}}};

const ProcedureDef RecPayGeneralUpdateCashTurnDetail{
    "spRecPayGeneralUpdateCashTurnDetail",
    "{? = CALL spRecPayGeneralUpdateCashTurnDetail( ?, ?, ?, ?, ?, ?, ?) }",
    "@RETURN_VALUE",
    {{"@ID", P::In, P::Int, 0},
     {"@FormTypeID", P::In, P::Int, 0},
     {"@Description", P::In, P::VarChar, 250},
     {"@Received", P::In, P::Money, 0},
     {"@Payed", P::In, P::Money, 0},
     {"@RelatedAccountID", P::In, P::Int, 0},
     {"@ContractID", P::In, P::Int, 0}}};

const ProcedureDef RecPayUpdateCashTurnDetail{
    "spRecPayUpdateCashTurnDetail",
    "{? = CALL spRecPayUpdateCashTurnDetail( ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) }",
    "@RETURN_VALUE",
    {{"@ID", P::In, P::Int, 0},
     {"@CashTurnID", P::In, P::Int, 0},
     {"@Code", P::InOut, P::Int, 0},
     {"@TransactionDate", P::In, P::DateTime, 0},
     {"@FarsiTransactionDate", P::In, P::VarChar, 10},
     {"@Description", P::In, P::VarChar, 250},
     {"@Received", P::In, P::Money, 0},
     {"@Payed", P::In, P::Money, 0},
     {"@RelatedAccountID", P::In, P::Int, 0},
     {"@ContractID", P::In, P::Int, 0}}};

const ProcedureDef RecPayInsertCashTurnDetail{
    "spRecPayInsertCashTurnDetail",
    "{? = CALL spRecPayInsertCashTurnDetail( ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) }",
    "@RETURN_VALUE",
    {{"@ID", P::InOut, P::Int, 0},
     {"@CashTurnID", P::In, P::Int, 0},
     {"@Code", P::InOut, P::Int, 0},
     {"@TransactionDate", P::In, P::DateTime, 0},
     {"@FarsiTransactionDate", P::In, P::VarChar, 10},
     {"@Description", P::In, P::VarChar, 250},
     {"@Received", P::In, P::Money, 0},
     {"@Payed", P::In, P::Money, 0},
     {"@RelatedAccountID", P::In, P::Int, 0},
     {"@ContractID", P::In, P::Int, 0},
     {"@FormTypeID", P::In, P::Int, 0},
     {"@FormID", P::In, P::Int, 0}}};

const ProcedureDef AccountInsertDocument{
    "spAccountInsertDocument",
    "{? = CALL dbo.spAccountInsertDocument( ?, ?, ?, ?, ?, ?, ?, ?, ?) }",
    "@RETURN_VALUE",
    {{"@ID", P::InOut, P::Int, 0},
     {"@Code", P::InOut, P::Int, 0},
     {"@CreatorID", P::In, P::Int, 0},
     {"@CreateDate", P::In, P::DateTime, 0},
     {"@FarsiCreateDate", P::In, P::VarChar, 10},
     {"@DocumentDate", P::In, P::DateTime, 0},
     {"@FarsiDocumentDate", P::In, P::VarChar, 10},
     {"@Value", P::In, P::Money, 0},
     {"@Description", P::In, P::VarChar, 4000}}};

const ProcedureDef AccountInsertDocumentDetail{
    "spAccountInsertDocumentDetail",
    "{? = CALL spAccountInsertDocumentDetail( ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) }",
    "RETURN_VALUE",
    {{"@DocID", P::In, P::Int, 0},
     {"@RowNumber", P::In, P::Int, 0},
     {"@AccountID", P::In, P::Int, 0},
     {"@TransactionDate", P::In, P::DateTime, 0},
     {"@FarsiTransactionDate", P::In, P::VarChar, 10},
     {"@Description", P::In, P::VarChar, 500},
     {"@DocumentTypeID", P::In, P::Int, 0},
     {"@AdditionalFormID", P::In, P::VarChar, 20},
     {"@ContractID", P::In, P::Int, 0},
     {"@PositionID", P::In, P::Int, 0},
     {"@DebitValue", P::In, P::Money, 0},
     {"@CreditValue", P::In, P::Money, 0},
     {"@FormID", P::In, P::Int, 0},
     {"@FormTypeID", P::In, P::Int, 0}}};

const ProcedureDef RecPayGeneralDeleteCashTurnDetail{
    "spRecPayGeneralDeleteCashTurnDetail",
    "{? = CALL dbo.spRecPayGeneralDeleteCashTurnDetail( ?, ?) }",
    "RETURN_VALUE",
    {{"@ID", P::In, P::Int, 0}, {"@FormTypeID", P::In, P::Int, 0}}};

const ProcedureDef OmberInsertFormAction{
    "spOmberInsertFormAction",
    "{? = CALL dbo.spOmberInsertFormAction( ?, ?, ?, ?, ?, ?, ?, ?) }",
    "RETURN_VALUE",
    {{"@EventID", P::In, P::Int, 0},
     {"@FormCode", P::In, P::VarChar, 50},
     {"@FormTypeID", P::In, P::Int, 0},
     {"@Description", P::In, P::VarChar, 1000},
     {"@UserID", P::In, P::Int, 0},
     {"@EventDate", P::In, P::DateTime, 0},
     {"@FarsiEventDate", P::In, P::VarChar, 10},
     {"@EventTime", P::In, P::Int, 0}}};

const QVector<const ProcedureDef *> &all()
{
    static const QVector<const ProcedureDef *> list = {
        &RecPayDeleteCashTurnDetail,        &OmberHasPermission,   &RecPayGeneralUpdateCashTurnDetail,
        &RecPayUpdateCashTurnDetail,        &RecPayInsertCashTurnDetail, &AccountInsertDocument,
        &AccountInsertDocumentDetail,       &RecPayGeneralDeleteCashTurnDetail, &OmberInsertFormAction,
    };
    return list;
}

const ProcedureDef *find(const QString &name)
{
    QString n = name.trimmed();
    if (n.startsWith(QStringLiteral("dbo."), Qt::CaseInsensitive))
        n = n.mid(4);
    for (const ProcedureDef *def : all())
        if (n.compare(QLatin1String(def->name), Qt::CaseInsensitive) == 0)
            return def;
    return nullptr;
}

} // namespace Procedures
