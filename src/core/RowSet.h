#pragma once

#include <QStringList>
#include <QVariant>
#include <QVector>

// What one statement gave back, held in memory: column names and rows of
// values where null is an invalid QVariant. Statements that return no rows
// (UPDATE, DELETE, INSERT) leave returnsRows false.
struct RowSet
{
    bool returnsRows = false;
    QStringList columns;
    QVector<QVector<QVariant>> rows;
};
