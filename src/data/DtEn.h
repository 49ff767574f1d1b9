#pragma once

#include "core/Currency.h"
#include "data/Connection.h"
#include "data/Recordset.h"

#include <QDateTime>
#include <QString>
#include <QVector>

struct ProcedureDef;

// The data environment: one connection, the nine recordsets of its
// commands, and one member function per stored procedure. In/out parameters
// are references that carry back what the procedure set; the result is the
// procedure's return value.
class DtEn
{
public:
    // The design-time string; the entry operations replace it.
    static const QString StoredConnectionString;

    DtEn();
    ~DtEn();
    DtEn(const DtEn &) = delete;
    DtEn &operator=(const DtEn &) = delete;

    Connection cnt;

    Recordset rssqlUser;
    Recordset rssqlvwCashPermit;
    Recordset rssqlRPDCashTurn;
    Recordset rssqlRPDCashTurnDetail;
    Recordset rssqlvwRPDCashTyrndetailSearch;
    Recordset rssqlRPDCash;
    Recordset rssqlRPDCashPermitedUsers;
    Recordset rssqlOmberTemplate;
    Recordset rssqlOmberBasePath;

    // The environment's connection collection holds cnt alone.
    QVector<Connection *> Connections() { return {&cnt}; }
    // Every recordset, in the order of the commands.
    QVector<Recordset *> recordsets();
    // By command name ("sqlRPDCash") or recordset name ("rssqlRPDCash").
    Recordset *recordset(const QString &name);

    int spRecPayDeleteCashTurnDetail(qint32 ID);
    int spOmberHasPermission(qint32 UserID, qint32 FormPermissionID);
    int spRecPayGeneralUpdateCashTurnDetail(qint32 ID, qint32 FormTypeID, const QString &Description,
                                            Currency Received, Currency Payed, qint32 RelatedAccountID,
                                            qint32 ContractID);
    int spRecPayUpdateCashTurnDetail(qint32 ID, qint32 CashTurnID, qint32 &Code, const QDateTime &TransactionDate,
                                     const QString &FarsiTransactionDate, const QString &Description,
                                     Currency Received, Currency Payed, qint32 RelatedAccountID, qint32 ContractID);
    int spRecPayInsertCashTurnDetail(qint32 &ID, qint32 CashTurnID, qint32 &Code, const QDateTime &TransactionDate,
                                     const QString &FarsiTransactionDate, const QString &Description,
                                     Currency Received, Currency Payed, qint32 RelatedAccountID, qint32 ContractID,
                                     qint32 FormTypeID, qint32 FormID);
    int spAccountInsertDocument(qint32 &ID, qint32 &Code, qint32 CreatorID, const QDateTime &CreateDate,
                                const QString &FarsiCreateDate, const QDateTime &DocumentDate,
                                const QString &FarsiDocumentDate, Currency Value, const QString &Description);
    int spAccountInsertDocumentDetail(qint32 DocID, qint32 RowNumber, qint32 AccountID,
                                      const QDateTime &TransactionDate, const QString &FarsiTransactionDate,
                                      const QString &Description, qint32 DocumentTypeID,
                                      const QString &AdditionalFormID, qint32 ContractID, qint32 PositionID,
                                      Currency DebitValue, Currency CreditValue, qint32 FormID, qint32 FormTypeID);
    int spRecPayGeneralDeleteCashTurnDetail(qint32 ID, qint32 FormTypeID);
    int spOmberInsertFormAction(qint32 EventID, const QString &FormCode, qint32 FormTypeID,
                                const QString &Description, qint32 UserID, const QDateTime &EventDate,
                                const QString &FarsiEventDate, qint32 EventTime);

    // Any procedure by name with its arguments in order, converted to the
    // parameters' types; in/out arguments are replaced. For the admin tool.
    int callByName(const QString &procedure, QVariantList &args);

private:
    // Checks and converts the arguments to the parameter types, then calls.
    int invoke(const ProcedureDef &procedure, QVariantList &args);
};
