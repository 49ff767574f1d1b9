#pragma once

#include "core/Currency.h"
#include "core/RowSet.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <memory>

class DtEn;
class Connection;

// Who a sibling component works for and its own connection to the suite
// database, for as long as one of its screens is open. The connection is
// the component's, never the host's: opening, failing or closing it leaves
// the host's data environment as it was.
class SiblingSession
{
public:
    struct User
    {
        qint32 userId = 0;
        qint32 positionId = 0;
        qint32 employeeId = 0;
        QString connectionString;
    };

    explicit SiblingSession(User user);
    ~SiblingSession();
    SiblingSession(const SiblingSession &) = delete;
    SiblingSession &operator=(const SiblingSession &) = delete;

    const User &user() const { return m_user; }
    Connection &connection();

    // The suite's T-SQL, each run on the component's connection. Values go
    // in params, one for each "?" of the text in order, and are bound by the
    // engine (a date as a QDateTime, an amount as a Currency, NULL as an
    // invalid variant), never written into the text.
    RowSet query(const QString &tsql, const QVariantList &params = {});
    // First column of the first row; invalid when there is none or it is null.
    QVariant scalar(const QString &tsql, const QVariantList &params = {});
    void execute(const QString &tsql, const QVariantList &params = {});
    bool hasPermission(qint32 right);

    // The Title of row id in a list view (ID, Title) named by the suite's
    // data; empty for a null id, a missing row or a view whose name is not
    // a plain name (never written into a statement).
    QString titleIn(const QString &view, const QVariant &id);
    // The database server's date and time.
    QDateTime serverNow();

private:
    User m_user;
    std::unique_ptr<DtEn> m_dtEn;
};

// A value of a row by column name (case-insensitive); invalid when the
// column is missing or null.
QVariant field(const RowSet &rows, int row, const QString &column);

// Whole rials grouped by threes with "/", a minus sign in front when negative.
QString moneyText(Currency value);
// The same for a right-to-left screen: a negative amount keeps its minus
// sign in front of the figures (left-to-right marks around the sign).
QString moneyDisplay(Currency value);

// A request the component turns down (a right, a rule of the data): the
// text is for the user as it stands.
constexpr int RefusalNumber = 20000;
[[noreturn]] void refuse(const QString &text);

// A money value read from a row: null reads as zero.
Currency moneyOf(const QVariant &value);
