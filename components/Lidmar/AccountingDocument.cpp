#include "Lidmar/AccountingDocument.h"

#include "core/Vb.h"
#include "sibling/SiblingSession.h"

#include <QHash>

namespace {

// The name of an object of a detail-level class, through the class's own
// list view; its number where the view has none.
QString objectName(SiblingSession &session, const QString &view, const QVariant &objectId)
{
    const QString title = session.titleIn(view, objectId);
    return title.isEmpty() ? Vb::textOf(objectId) : title;
}

} // namespace

AccountingDocument AccountingDocument::load(SiblingSession &session, qint32 id)
{
    const RowSet header = session.query(
        QStringLiteral("Select d.ID, d.Code, d.FarsiDocumentDate, d.Description, u.FullName As CreatorName From "
                       "tblAccountDocument d Left Join tblUser u On u.ID = d.CreatorID Where d.ID = ?"),
        {id});
    if (header.rows.isEmpty())
        refuse(QStringLiteral("سند حسابداري شماره %1 وجود ندارد.").arg(id));

    AccountingDocument doc;
    doc.id = id;
    doc.code = int(Vb::numberOf(field(header, 0, QStringLiteral("Code"))));
    doc.farsiDate = Vb::textOf(field(header, 0, QStringLiteral("FarsiDocumentDate")));
    doc.description = Vb::textOf(field(header, 0, QStringLiteral("Description")));
    doc.creator = Vb::textOf(field(header, 0, QStringLiteral("CreatorName")));

    const RowSet objects = session.query(
        QStringLiteral("Select o.RowNumber, o.Sequence, o.ObjectID, c.Title As ClassTitle, c.ViewMinor From "
                       "tblAccountDocumentObjects o Left Join tblOmberObjectClass c On c.ID = o.ClassID Where "
                       "o.DocumentID = ? Order By o.RowNumber, o.Sequence"),
        {id});
    QHash<int, QStringList> objectsOfRow;
    for (int r = 0; r < objects.rows.size(); ++r) {
        const int row = int(Vb::numberOf(field(objects, r, QStringLiteral("RowNumber"))));
        const QString name = objectName(session, Vb::textOf(field(objects, r, QStringLiteral("ViewMinor"))),
                                        field(objects, r, QStringLiteral("ObjectID")));
        objectsOfRow[row] << Vb::textOf(field(objects, r, QStringLiteral("ClassTitle"))) + QStringLiteral(": ") + name;
    }

    const RowSet rows = session.query(
        QStringLiteral("Select r.RowNumber, a.Code As AccountCode, a.Title As AccountTitle, r.DebitValue, "
                       "r.CreditValue, r.Description From tblAccountDocumentDetail r Left Join tblAccount a On "
                       "a.ID = r.AccountID Where r.DocumentID = ? Order By r.RowNumber, r.ID"),
        {id});
    for (int r = 0; r < rows.rows.size(); ++r) {
        DocumentRow row;
        row.rowNumber = int(Vb::numberOf(field(rows, r, QStringLiteral("RowNumber"))));
        row.accountCode = Vb::textOf(field(rows, r, QStringLiteral("AccountCode")));
        row.accountTitle = Vb::textOf(field(rows, r, QStringLiteral("AccountTitle")));
        row.objects = objectsOfRow.value(row.rowNumber);
        row.debit = moneyOf(field(rows, r, QStringLiteral("DebitValue")));
        row.credit = moneyOf(field(rows, r, QStringLiteral("CreditValue")));
        row.description = Vb::textOf(field(rows, r, QStringLiteral("Description")));
        doc.totalDebit += row.debit;
        doc.totalCredit += row.credit;
        doc.rows.append(row);
    }
    return doc;
}

qint32 AccountingDocument::idOfCode(SiblingSession &session, qint32 code)
{
    const QVariant id =
        session.scalar(QStringLiteral("Select ID From tblAccountDocument Where Code = ? Order By ID"), {code});
    return id.isValid() ? Vb::clng(id) : 0;
}
