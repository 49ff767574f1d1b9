#pragma once

#include "Lidmar/AccountingDocument.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmLidmar;
}
class SiblingSession;

// The accounting document's screen: header, rows with their accounts and
// detail-level objects, totals, and a red mark when debit and credit
// differ. Typing a document number and Enter shows that document.
class frmLidmar : public QDialog
{
    Q_OBJECT

public:
    explicit frmLidmar(SiblingSession &session, QWidget *parent = nullptr);
    ~frmLidmar() override;

    void showDocument(qint32 id);
    void clear();
    const AccountingDocument &document() const { return m_document; }

public Q_SLOTS:
    void txtDocCode_KeyPress(qint16 &keyAscii);
    void cmdExit_Click();

private:
    std::unique_ptr<Ui::frmLidmar> ui;
    SiblingSession &m_session;
    AccountingDocument m_document;
};
