#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmRulaneReceipt;
}
class SiblingSession;

// One movement of the ledger shown read-only, for callers where the
// receipt form itself cannot be opened.
class frmRulaneReceipt : public QDialog
{
    Q_OBJECT

public:
    explicit frmRulaneReceipt(SiblingSession &session, QWidget *parent = nullptr);
    ~frmRulaneReceipt() override;

    // Refused when the movement does not exist.
    void load(qint32 id);

public Q_SLOTS:
    void cmdExit_Click();

private:
    std::unique_ptr<Ui::frmRulaneReceipt> ui;
    SiblingSession &m_session;
};
