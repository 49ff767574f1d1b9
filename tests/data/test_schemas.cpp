// One schema, three engines: the scripts of db/sqlite, db/postgresql and
// db/mssql name the same tables with the same columns and the same views,
// and every table, column and view the component's statements use is
// there, in the scripts and in a database made from them.

#include "core/VbError.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

struct Schema
{
    QMap<QString, QSet<QString>> tables; // lower-case names
    QSet<QString> views;
};

QString withoutComments(QString sql)
{
    static const QRegularExpression line(QStringLiteral("--[^\\n]*"));
    return sql.remove(line);
}

// Splits on commas outside parentheses.
QStringList topLevelParts(const QString &body)
{
    QStringList parts;
    int depth = 0, start = 0;
    for (int i = 0; i < body.size(); ++i) {
        if (body[i] == u'(')
            ++depth;
        else if (body[i] == u')')
            --depth;
        else if (body[i] == u',' && depth == 0) {
            parts << body.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << body.mid(start);
    return parts;
}

QString firstWord(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("^\\s*\\[?([A-Za-z_][A-Za-z0-9_]*)"));
    const auto m = word.match(text);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

Schema readScripts(const QString &folder)
{
    Schema schema;
    const QDir dir(QStringLiteral(PARDEX_SOURCE_DIR "/db/") + folder);
    const QStringList files = dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    EXPECT_FALSE(files.isEmpty()) << folder.toStdString();
    static const QRegularExpression table(QStringLiteral("CREATE\\s+TABLE\\s+(\\w+)\\s*\\("),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression alter(QStringLiteral("ALTER\\s+TABLE\\s+(\\w+)\\s+ADD\\s+(?:COLUMN\\s+)?([^;]*);"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression view(QStringLiteral("CREATE\\s+VIEW\\s+(\\w+)"), QRegularExpression::CaseInsensitiveOption);
    static const QSet<QString> constraints = {QStringLiteral("primary"), QStringLiteral("unique"),
                                              QStringLiteral("constraint"), QStringLiteral("foreign"),
                                              QStringLiteral("check")};
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QString sql = withoutComments(QString::fromUtf8(file.readAll()));
        for (auto it = table.globalMatch(sql); it.hasNext();) {
            const auto m = it.next();
            int depth = 1, i = int(m.capturedEnd());
            const int start = i;
            for (; i < sql.size() && depth > 0; ++i)
                depth += sql[i] == u'(' ? 1 : sql[i] == u')' ? -1 : 0;
            QSet<QString> &columns = schema.tables[m.captured(1).toLower()];
            for (const QString &part : topLevelParts(sql.mid(start, i - 1 - start))) {
                const QString column = firstWord(part);
                if (!column.isEmpty() && !constraints.contains(column))
                    columns.insert(column);
            }
        }
        for (auto it = alter.globalMatch(sql); it.hasNext();) {
            const auto m = it.next();
            for (const QString &part : topLevelParts(m.captured(2)))
                schema.tables[m.captured(1).toLower()].insert(firstWord(part));
        }
        for (auto it = view.globalMatch(sql); it.hasNext();)
            schema.views.insert(it.next().captured(1).toLower());
    }
    return schema;
}

// What the component's own statements name: tables with the columns they
// read or write, and views with the columns read from them.
const QMap<QString, QStringList> &usedObjects()
{
    static const QMap<QString, QStringList> used = {
        {QStringLiteral("tblUser"), {"ID", "FullName", "BranchID"}},
        {QStringLiteral("tblRecPayCash"), {"ID", "Name", "AccountID"}},
        {QStringLiteral("tblRecPayCashTurn"), {"ID", "CashID", "Turn", "UserID", "IsOpen"}},
        {QStringLiteral("tblRecPayCashTurnUser"), {"CashTurnID", "UserID"}},
        {QStringLiteral("tblRecPayCashTurnDetail"),
         {"ID", "ClassID1", "ObjectID1", "ClassID2", "ObjectID2", "ClassID3", "ObjectID3", "BranchID", "AchieverID",
          "Code"}},
        {QStringLiteral("tblAccountDocument"), {"ID", "Value"}},
        {QStringLiteral("tblAccountDocumentDetail"), {"DocumentID", "FormID", "FormTypeID", "DebitValue"}},
        {QStringLiteral("tblAccountDocumentObjects"), {"DocumentID", "RowNumber", "Sequence", "ClassID", "ObjectID"}},
        {QStringLiteral("tblAccountPeriod"), {"ID", "IsActive", "FarsiBeginDate", "FarsiEndDate"}},
        {QStringLiteral("tblUserAccountPeriod"), {"AccountPeriodID", "UserID"}},
        {QStringLiteral("tblAccountRelatedObjects"), {"AccountID", "RelatedClassID", "RelatedObjectID"}},
        {QStringLiteral("tblOrganization"), {"ID", "Name", "Address", "Phone1"}},
        {QStringLiteral("tblInventoryUser"), {"InventoryID", "IsPrimary", "UserID"}},
        {QStringLiteral("tblOmberSystemParameters"), {"ID", "Value"}},
        {QStringLiteral("tblOmberReportTemplate"), {"ID", "FormTypeID", "Title", "FilePath"}},
        {QStringLiteral("tblOmberRelatedForms"), {"RelatedFormTypeID", "ReferenceFormTypeID", "ReferenceFormID"}},
        {QStringLiteral("vwRecPayCashUsers"), {"CashPermitUserID", "ID", "Name", "AccountID"}},
        {QStringLiteral("vwRecPayCashTurnDetail"),
         {"ID", "CashTurnID", "Code", "TransactionDate", "FarsiTransactionDate", "Description", "ReceivedValue",
          "PayedValue", "RelatedAccountID", "ContractID", "ClassID1", "ObjectID1", "ClassID2", "ObjectID2",
          "ClassID3", "ObjectID3", "BranchID", "AchieverID", "CashID", "Turn"}},
        {QStringLiteral("vwRecPayCashTurnDetailSearch"),
         {"ID", "Turn", "CashDescription", "OpenerUser", "Code", "FarsiTransactionDate", "Description",
          "ReceivedValue", "PayedValue", "AccountTitle", "AccountCode", "SecondAccountTitle", "SecondAccountCode",
          "AccContractTitle", "AccContractCode", "CashID", "UserID", "TransactionDate", "RelatedAccountID",
          "AccountID", "ContractID", "AchieverID"}},
        {QStringLiteral("vwOmberBasePath"), {"ID", "BasePath"}},
        {QStringLiteral("vwRPDCashTyrndetailSearch"), {"ID"}},
        {QStringLiteral("vwCashPermit"), {"ID"}},
        {QStringLiteral("tblTilvaReportTemplates"), {"ID", "FormTypeID", "Title", "FilePath"}},
        {QStringLiteral("tblRecPayCashUsers"), {"CashID", "UserID"}},
        {QStringLiteral("vwAccountBranchMajor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwAccountBranchMinor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwEmployee"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwEmployeeMinor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwAccountContractProject"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwAccountContractProjectMinor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwUser"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwUserMinor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwOrganization"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwOrganizationMinor"), {"ID", "Code", "Title"}},
        {QStringLiteral("vwFormChangeHistory"), {"ID", "Kind", "UserFullName", "ChangedAt", "Before", "After",
                                                 "FormTypeID", "FormCode"}},
        {QStringLiteral("vwFormHistory"), {"ID", "Description", "UserFullName", "FarsiEventDate", "EventTime",
                                           "EventDate", "FormTypeID", "FormCode"}},
    };
    return used;
}

} // namespace

TEST(Schemas, TheThreeEnginesNameTheSameTablesColumnsAndViews)
{
    const Schema sqlite = readScripts(QStringLiteral("sqlite"));
    const Schema postgres = readScripts(QStringLiteral("postgresql"));
    const Schema mssql = readScripts(QStringLiteral("mssql"));
    ASSERT_GT(sqlite.tables.size(), 30);
    ASSERT_GT(sqlite.views.size(), 20);
    for (const auto &[name, other] : {std::pair{"postgresql", &postgres}, std::pair{"mssql", &mssql}}) {
        EXPECT_EQ(QStringList(other->tables.keys()), QStringList(sqlite.tables.keys())) << name;
        for (auto it = sqlite.tables.cbegin(); it != sqlite.tables.cend(); ++it) {
            QStringList mine = it.value().values(), theirs = other->tables.value(it.key()).values();
            mine.sort();
            theirs.sort();
            EXPECT_EQ(theirs, mine) << name << ": " << it.key().toStdString();
        }
        QStringList mine = sqlite.views.values(), theirs = other->views.values();
        mine.sort();
        theirs.sort();
        EXPECT_EQ(theirs, mine) << name;
    }
}

// With the engines' scripts naming the same tables, columns and views (the
// test above), every used object is in each engine's scripts once the
// embedded engine's database holds it (the test below).
// On the engine under test: every used column reads from a database made
// from the scripts (views' columns included, which the scripts' text does
// not list), under the names the component writes.
TEST(Schemas, EveryUsedColumnReadsFromADatabaseMadeFromTheScripts)
{
    DemoDatabase db;
    DtEn dtEn;
    dtEn.cnt.setConnectionString(db.connectionString());
    for (auto it = usedObjects().cbegin(); it != usedObjects().cend(); ++it) {
        const QString sql = QStringLiteral("Select ") + it.value().join(QStringLiteral(", ")) + QStringLiteral(" From ")
                            + it.key() + QStringLiteral(" Where 1 = 0");
        try {
            const int count = dtEn.rssqlOmberBasePath.Query(sql, [&](Recordset &rs) {
                for (const QString &column : it.value())
                    EXPECT_TRUE(rs.rows().columns.contains(column, Qt::CaseInsensitive))
                        << it.key().toStdString() << "." << column.toStdString();
            });
            EXPECT_EQ(count, 0);
        } catch (const VbError &e) {
            ADD_FAILURE() << sql.toStdString() << ": " << e.description().toStdString();
        }
    }
}
