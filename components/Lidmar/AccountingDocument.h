#pragma once

#include "core/Currency.h"

#include <QString>
#include <QStringList>
#include <QVector>

class SiblingSession;

// One row of an accounting document.
struct DocumentRow
{
    qint32 rowNumber = 0;
    QString accountCode;
    QString accountTitle;
    // The row's detail-level objects, each "class: name", in their sequence.
    QStringList objects;
    Currency debit;
    Currency credit;
    QString description;
};

// An accounting document as the suite stores it: header, rows in their
// order, the detail-level objects of each row, and its totals.
struct AccountingDocument
{
    qint32 id = 0;
    qint32 code = 0;
    QString farsiDate;
    QString description;
    QString creator;
    QVector<DocumentRow> rows;
    Currency totalDebit;
    Currency totalCredit;

    bool balanced() const { return totalDebit == totalCredit; }
    // Debit less credit: what is missing on the credit side when positive.
    Currency imbalance() const { return totalDebit - totalCredit; }

    // Refused when the document does not exist.
    static AccountingDocument load(SiblingSession &session, qint32 id);
    // The ID of the document with this number, or 0.
    static qint32 idOfCode(SiblingSession &session, qint32 code);
};
