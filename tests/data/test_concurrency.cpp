#include "core/PersianDate.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"

#include <QDateTime>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {
const QString FinalInsert = QStringLiteral("spRecPayInsertCashTurnDetail");
const QString CodesGivenTwice = QStringLiteral(
    "(SELECT Code FROM tblRecPayCashTurnDetail WHERE Code IS NOT NULL GROUP BY FormTypeID, Code HAVING count(*) > 1)");
}

TEST(Concurrency, ProcessesSavingFinalReceiptsAtOnceGetDistinctCodes)
{
    ASSERT_FALSE(DemoDatabase::tool().isEmpty());
    DemoDatabase db;
    const int before = db.count(QStringLiteral("tblRecPayCashTurnDetail"));
    const QString date = QDate::currentDate().toString(Qt::ISODate);
    std::vector<std::unique_ptr<QProcess>> processes;
    const int count = 12;
    for (int i = 0; i < count; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(DemoDatabase::tool(), QStringLiteral("call|%1|%2|0|3|0|%3|%4|همزمان %5|1000|0|110301|0|206|-1")
                                           .arg(db.connectionString(), FinalInsert, date, PersianDate::today())
                                           .arg(i)
                                           .split(u'|'));
        processes.push_back(std::move(p));
    }
    QSet<QString> codes, ids;
    for (auto &p : processes) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        for (const QString &line : QString::fromUtf8(p->readAllStandardOutput()).split(u'\n')) {
            if (line.startsWith(QStringLiteral("@Code=")))
                codes.insert(line);
            if (line.startsWith(QStringLiteral("@ID=")))
                ids.insert(line);
        }
    }
    EXPECT_EQ(codes.size(), count);
    EXPECT_EQ(ids.size(), count);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before + count);
    EXPECT_EQ(db.count(CodesGivenTwice), 0);
}
