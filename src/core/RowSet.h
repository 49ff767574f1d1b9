#pragma once

#include <QStringList>
#include <QVariant>
#include <QVector>

// What one statement gave back, held in memory: column names and rows of
// values where null is an invalid QVariant. Statements that return no rows
// (UPDATE, DELETE, INSERT) leave returnsRows false and say how many rows
// they wrote themselves (not counting a trigger's), -1 when unknown.
struct RowSet
{
    bool returnsRows = false;
    qint64 rowsAffected = -1;
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};
