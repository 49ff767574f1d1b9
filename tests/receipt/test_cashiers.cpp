// Four cashiers saving at once on one shared database, each through his
// own copy of the program and the receipt form: every final save is there,
// with its own confirmed code (distinct and continuous) and exactly one
// accounting document. Runs on the embedded file and on the server.

#include "support/DemoDatabase.h"

#include <QProcess>
#include <QSet>
#include <memory>
#include <vector>

TEST(Cashiers, FourProgramsSavingTwoHundredFiftyReceiptsEachLoseNothing)
{
    DemoDatabase db;
    const int before = db.count(QStringLiteral("tblRecPayCashTurnDetail"));
    const int lastId = db.scalar(QStringLiteral("SELECT max(ID) FROM tblRecPayCashTurnDetail")).toInt();
    const int lastCode = db.scalar(QStringLiteral("SELECT max(Code) FROM tblRecPayCashTurnDetail WHERE FormTypeID = 206"))
                             .toInt();
    const int programs = 4, each = 250;

    std::vector<std::unique_ptr<QProcess>> cashiers;
    for (int p = 0; p < programs; ++p) {
        auto saver = std::make_unique<QProcess>();
        saver->start(QStringLiteral(SAVE_LOOP), {db.connectionString(), QString::number(each)});
        ASSERT_TRUE(saver->waitForStarted());
        cashiers.push_back(std::move(saver));
    }
    QSet<int> reported;
    for (auto &saver : cashiers) {
        ASSERT_TRUE(saver->waitForFinished(600000));
        EXPECT_EQ(saver->exitCode(), 0) << saver->readAllStandardError().toStdString();
        for (const QByteArray &line : saver->readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty())
                reported.insert(line.trimmed().toInt());
    }
    const int total = programs * each;
    EXPECT_EQ(reported.size(), total);

    // Every receipt a program reported saving is there, finally saved.
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), before + total);
    const QString fresh = QStringLiteral("tblRecPayCashTurnDetail WHERE ID > %1").arg(lastId);
    EXPECT_EQ(db.count(fresh + QStringLiteral(" AND Code IS NOT NULL")), total);
    int found = 0;
    for (const auto &row : db.run(QStringLiteral("SELECT ID FROM ") + fresh).rows)
        found += reported.contains(row[0].toInt()) ? 1 : 0;
    EXPECT_EQ(found, total);

    // The codes continue after the last one held before; distinct codes,
    // one balanced document each and no empty document are the check's.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT min(Code) FROM ") + fresh).toInt(), lastCode + 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT max(Code) FROM ") + fresh).toInt(), lastCode + total);
    for (const auto &finding : db.findings())
        ADD_FAILURE() << finding.text.toStdString();
}
