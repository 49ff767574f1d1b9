#pragma once

#include <QString>
#include <QVector>

class SiblingSession;

struct AccountNode
{
    qint32 id = 0;
    QString code;
    QString title;
    qint32 parentId = 0; // 0 for an account at the top of the chart
    int level = 1;
    bool detail = false; // takes document rows; has no sub-accounts
    QVector<qint32> levelClasses; // detail-level classes, level 1 first
};

struct ObjectClass
{
    qint32 id = 0;
    QString title;
};

struct NewAccount
{
    qint32 parentId = 0;
    QString code;
    QString title;
    bool detail = true;
    QVector<qint32> levelClasses;
};

// The chart of accounts. A sub-account's code starts with its parent's
// code and is longer; codes are digits and unique. Only a group account
// (not a detail one) takes sub-accounts, and only a detail account has
// detail levels: up to three, from level 1 on, each a different class. An
// account used by a document row, a receipt or a cash box, or one with
// sub-accounts, is never removed. Each change needs its right and is one
// transaction; refusals are in Persian.
class ChartOfAccounts
{
public:
    explicit ChartOfAccounts(SiblingSession &session) : m_session(session) {}

    // Every account in the order of its code.
    QVector<AccountNode> accounts();
    QVector<ObjectClass> classes();

    qint32 add(const NewAccount &account);
    void rename(qint32 id, const QString &title);
    void remove(qint32 id);

private:
    AccountNode find(qint32 id);

    SiblingSession &m_session;
};
