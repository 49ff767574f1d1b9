#pragma once

#include <QString>
#include <QVector>

// The stored-procedure commands of the data environment: call text, the
// name of the return-value parameter and the parameters in order.
struct ProcedureParam
{
    enum Direction { In, InOut };
    enum Type { Int, Money, DateTime, VarChar };

    const char *name;
    Direction direction;
    Type type;
    int size; // characters, for VarChar
};

struct ProcedureDef
{
    const char *name;
    const char *callText;
    const char *returnName;
    QVector<ProcedureParam> params;
};

namespace Procedures {

extern const ProcedureDef RecPayDeleteCashTurnDetail;
extern const ProcedureDef OmberHasPermission;
extern const ProcedureDef RecPayGeneralUpdateCashTurnDetail;
extern const ProcedureDef RecPayUpdateCashTurnDetail;
extern const ProcedureDef RecPayInsertCashTurnDetail;
extern const ProcedureDef AccountInsertDocument;
extern const ProcedureDef AccountInsertDocumentDetail;
extern const ProcedureDef RecPayGeneralDeleteCashTurnDetail;
extern const ProcedureDef OmberInsertFormAction;

// All nine, in the order of the data environment.
const QVector<const ProcedureDef *> &all();
// By name, case-insensitive, with or without "dbo."; nullptr if unknown.
const ProcedureDef *find(const QString &name);

} // namespace Procedures
