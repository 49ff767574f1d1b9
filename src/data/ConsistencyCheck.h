#pragma once

#include <QString>
#include <QVector>

class Connection;

// The administrator's consistency check of a suite database: what receipts,
// their accounting documents, cash turns and codes must agree on. It reads
// through the component's connection (either engine) and writes only when
// asked to repair, and then only what needs no guess:
//   - document rows of receipts that no longer exist are removed (with a
//     document's header and objects when nothing else is left in it, else
//     its value becomes the debits left);
//   - members of cash turns that no longer exist are removed.
// Everything else is listed for a person to decide: which of two documents
// or of two receipts sharing a code is the right one, who opened a turn, or
// a receipt's missing document, a closed turn whose receipts changed after
// its blind count, a document header without rows or one whose rows do not
// balance (a save stopped between its steps: the receipt form's
// next final save writes the document again, and a header without rows may
// be a save running at this moment), or a code above the highest one noted
// as given in its form type (the code of a receipt deleted later could then
// be given again).
class ConsistencyCheck
{
public:
    enum class Kind {
        DamagedFile,             // the engine's own integrity check (SQLite)
        ReceiptWithoutDocument,  // a code, documents on (parameter 202), none
        DocumentWithoutReceipt,  // rows of form type 206 whose receipt is gone
        ReceiptWithTwoDocuments, // rows of one receipt in two documents
        ReceiptRowsNotAPair,     // a receipt's document rows other than two
        TurnMembersWithoutOpener,// members of a turn that is gone or has no opener
        CodeUsedTwice,           // one code given twice within a form type
        EmptyDocument,           // a document header without rows
        UnbalancedDocument,      // debits and credits of a document differ
        TurnChangedAfterClose,   // a closed turn's receipts changed since its count
        CodeNotNoted,            // a code above the highest one noted as given
    };
    struct Finding
    {
        Kind kind;
        QString text; // one line, in Persian
        bool repairable;
    };

    explicit ConsistencyCheck(Connection &connection);

    QVector<Finding> run();
    // In one transaction; returns a Persian line per repair made.
    QStringList repair();
    // Whether the engine's own check found the file damaged; a damaged file
    // is not repaired, only listed.
    static bool damaged(const QVector<Finding> &findings);

private:
    bool documentsOn();
    // Whether the database has the column (one made by an older program may not).
    bool has(const QString &table, const QString &column);
    // One finding for each row the query gives, its columns filling the
    // text's %1, %2, ... in order.
    void listRows(QVector<Finding> &found, Kind kind, const QString &sql, const QVariantList &params,
                  const QString &text, bool repairable);
    Connection &m_cnt;
};
