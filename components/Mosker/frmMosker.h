#pragma once

#include "Mosker/ChartOfAccounts.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmMosker;
}
class QTreeWidgetItem;
class SiblingSession;

// The chart of accounts' screen: the tree by level with code and title.
// Picking an account shows it, with its title open to editing; "new"
// prepares a sub-account of the picked account, or an account at the top
// of the chart; "save" adds the new account or saves the title.
class frmMosker : public QDialog
{
    Q_OBJECT

public:
    explicit frmMosker(SiblingSession &session, QWidget *parent = nullptr);
    ~frmMosker() override;

    void load();
    // Picks an account in the tree.
    void selectAccount(qint32 id);
    qint32 selectedAccountId() const;
    bool adding() const { return m_adding; }

public Q_SLOTS:
    void treAccounts_Click();
    void chkDetail_Click();
    void cmdNewChild_Click();
    void cmdNewRoot_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdExit_Click();

private:
    void fillTree();
    void showAccount(const AccountNode *account);
    void startAdding(const AccountNode *parent);
    void fillLevelBoxes(const QVector<qint32> &classes);
    const AccountNode *account(qint32 id) const;

    std::unique_ptr<Ui::frmMosker> ui;
    SiblingSession &m_session;
    ChartOfAccounts m_chart;
    QVector<AccountNode> m_accounts;
    QVector<ObjectClass> m_classes;
    bool m_adding = false;
    qint32 m_newParentId = 0;
};
