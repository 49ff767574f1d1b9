// The accounting document of the receipt on the form: the cash box's
// account debited, the counter-party's credited, and the detail-level
// objects of both rows.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberDate.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "suite/Identifiers.h"

#include <QLabel>

void frmRPDCashRec::WriteReceiptDocument()
{
    const UserContext &context = Module::context();
    DtEn &dtEn = Module::dtEn();

    // Which picker names the counter-party: the one in use. With the
    // detail-level picker on, the other one is hidden and holds an account
    // only after a load, so it cannot say whether one was chosen now.
    if (counterpartyMissing()) {
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("طرف حساب اين دريافت نقدي ")
                        + QStringLiteral(" مشخص نشده است. بنابراين سند حسابداري متناظر با اين دريافت ثبت نشد."));
        return;
    }
    qint32 cashAccount = 0;
    const int found = dtEn.rssqlOmberBasePath.Query(
        QStringLiteral("Select AccountID from tblRecPayCash Where AccountID is not null and ID=")
            + QString::number(CurrentCashID),
        [&](Recordset &rs) {
            if (rs.RecordCount() > 0)
                cashAccount = Vb::clng(rs.Fields(QStringLiteral("AccountID")));
        });
    if (found == 0) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("حساب متناظر با صندوق ") + ui->lblCash->text()
                                               + QStringLiteral(" مشخص نشده است. بنابراين سند حسابداري متناظر با اين دريافت ثبت نشد."));
        return;
    }

    const QString code = Vb::cstr(Vb::val(ui->txtCode->text()));
    const QString receipt = QString::number(CurrentReceiptID);
    const QString description = QStringLiteral("عطف به دريافت نقدي به شماره راايانه اي ") + receipt
                                + QStringLiteral(" و شماره تاييد شده ") + code;
    const Currency amount = ParseAmount(ui->txtRec->text(), QStringLiteral("/"));
    const QDateTime date = ui->dtpOpenDate->Value().toDate().startOfDay();
    const QString farsiDate = ui->dtpOpenDate->FarsiDate();
    const qint32 counterparty = counterpartyAccount();

    qint32 documentId = 1;
    qint32 documentCode = 1;
    dtEn.spAccountInsertDocument(documentId, documentCode, context.UserID, date, farsiDate, date, farsiDate, amount,
                                 description);
    const QString document = QString::number(documentId);
    auto insertObject = [&](const QString &rowAndSequence, qint32 classId, qint32 objectId) {
        dtEn.rssqlOmberBasePath.Query(
            QStringLiteral("Insert into tblAccountDocumentObjects (DocumentID,RowNumber,Sequence,ClassID,ObjectID) Values (")
            + document + rowAndSequence + QString::number(classId) + QStringLiteral(",") + QString::number(objectId)
            + QStringLiteral(")"));
    };

    dtEn.spAccountInsertDocumentDetail(documentId, 1, cashAccount, date, farsiDate, description,
                                       ids::DocumentCashReceipt, code, 0, 0, amount, Currency(), CurrentReceiptID,
                                       ids::FormCashReceipt);
    if (context.UseCounterpartyPicker)
        insertObject(QStringLiteral(",1,1,"), ids::ClassCashBox, CurrentCashID);
    dtEn.spAccountInsertDocumentDetail(documentId, 2, counterparty, date, farsiDate, description,
                                       ids::DocumentCashReceipt, code, 0, 0, Currency(), amount, CurrentReceiptID,
                                       ids::FormCashReceipt);
    if (!context.UseCounterpartyPicker)
        return;
    for (int level = 1; level <= 3; ++level) {
        const qint32 classId = ui->AccCredit->classId(level);
        const qint32 objectId = ui->AccCredit->objectId(level);
        if (classId >= 1 && objectId > 0)
            insertObject(QStringLiteral(",2,%1,").arg(level), classId, objectId);
    }
}

void frmRPDCashRec::RemoveReceiptDocument()
{
    DtEn &dtEn = Module::dtEn();
    const QString receipt = QString::number(CurrentReceiptID);
    qint32 documentId = -1;
    dtEn.rssqlOmberBasePath.Query(QStringLiteral("Select * from tblAccountDocumentDetail Where FormID=") + receipt
                                      + QStringLiteral(" and FormTypeID=206"),
                                  [&](Recordset &rs) {
                                      if (rs.RecordCount() != 0)
                                          documentId = Vb::clng(rs.Fields(QStringLiteral("DocumentID")));
                                  });
    if (documentId <= 0)
        return;
    const QString document = QString::number(documentId);
    // Only the receipt's own rows go: where other forms wrote rows into the
    // same document, theirs stay, the header stays with them and its value
    // becomes the debits that are left. A document of the receipt alone
    // loses every row and then its header, as before.
    dtEn.rssqlOmberBasePath.Query(QStringLiteral("Delete tblAccountDocumentDetail Where DocumentID=") + document
                                  + QStringLiteral(" and FormID=") + receipt + QStringLiteral(" and FormTypeID=206"));
    dtEn.rssqlOmberBasePath.Query(
        QStringLiteral("Delete tblAccountDocument Where ID not in (Select DocumentID from tblAccountDocumentDetail) and ID=")
        + document);
    dtEn.rssqlOmberBasePath.Query(
        QStringLiteral("Update tblAccountDocument set Value = (Select Sum (DebitValue) from tblAccountDocumentDetail Where "
                       "DocumentID=")
        + document + QStringLiteral(") Where ID =") + document);
}
