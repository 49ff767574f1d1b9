// pardex-db check: what it lists for each kind of disagreement between
// receipts, documents, turns and codes, what --repair removes and what it
// leaves to a person, and the exit statuses.

#include "data/ConsistencyCheck.h"
#include "support/Programs.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

ProgramRun checkTool(const QStringList &args)
{
    return runDbTool(QStringList{QStringLiteral("check")} + args);
}

class Consistency : public ::testing::Test
{
protected:
    DemoDatabase db;

    void exec(const QString &sql) { db.exec(sql); }
    // A document of form type 206 for a receipt that does not exist.
    void addOrphanDocument(int id)
    {
        exec(QStringLiteral("INSERT INTO tblAccountDocument (ID, Code, Value) VALUES (%1, %1, 5000)").arg(id));
        exec(QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, DebitValue, "
                            "CreditValue, FormID, FormTypeID) VALUES (%1, 1, 110101, 5000, 0, 9999, 206), "
                            "(%1, 2, 110301, 0, 5000, 9999, 206)")
                 .arg(id));
    }
    QStringList texts(ConsistencyCheck::Kind kind)
    {
        QStringList out;
        for (const auto &f : db.findings())
            if (f.kind == kind)
                out << f.text;
        return out;
    }
};

} // namespace

TEST_F(Consistency, AReceiptWithACodeButNoDocumentIsListedOnlyWhileDocumentsAreOn)
{
    exec(QStringLiteral("DELETE FROM tblAccountDocumentDetail WHERE FormID = 2 AND FormTypeID = 206"));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::ReceiptWithoutDocument).size(), 1);
    // A draft, or a receipt given code 0, has no document by design.
    exec(QStringLiteral("DELETE FROM tblAccountDocumentDetail WHERE FormID IN (3, 6)"));
    exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Code = NULL WHERE ID = 3"));
    exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Code = 0 WHERE ID = 6"));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::ReceiptWithoutDocument).size(), 1);

    exec(QStringLiteral("UPDATE tblOmberSystemParameters SET Value = '0' WHERE ID = 202"));
    EXPECT_TRUE(texts(ConsistencyCheck::Kind::ReceiptWithoutDocument).isEmpty());
}

TEST_F(Consistency, DocumentsWhoseReceiptIsGoneAreRepairedAndSharedDocumentsKeepTheOtherRows)
{
    // Receipt 5's document now names a receipt that does not exist, and
    // receipt 4's document also holds a row of another form.
    const qint64 doc5 = db.scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = 5")).toLongLong();
    const qint64 doc4 = db.scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = 4")).toLongLong();
    exec(QStringLiteral("UPDATE tblAccountDocumentDetail SET FormID = 9005 WHERE FormID = 5 AND FormTypeID = 206"));
    exec(QStringLiteral("UPDATE tblAccountDocumentDetail SET FormID = 9004 WHERE FormID = 4 AND FormTypeID = 206"));
    exec(QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, DebitValue, CreditValue, "
                        "FormID, FormTypeID) VALUES (%1, 3, 110101, 700, 0, 1, 301)").arg(doc4));
    const QStringList listed = texts(ConsistencyCheck::Kind::DocumentWithoutReceipt);
    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed[0].contains(QStringLiteral("9004"))) << listed[0].toStdString();
    EXPECT_EQ(texts(ConsistencyCheck::Kind::ReceiptWithoutDocument).size(), 2); // receipts 4 and 5

    const ProgramRun repaired = checkTool({db.connectionString(), QStringLiteral("--repair")});
    // The receipts' missing documents are for a person (or the receipt form) to write.
    EXPECT_EQ(repaired.exitCode, 1) << repaired.err.toStdString();
    EXPECT_TRUE(texts(ConsistencyCheck::Kind::DocumentWithoutReceipt).isEmpty());
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument WHERE ID = %1").arg(doc5)), 0);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentObjects WHERE DocumentID = %1").arg(doc5)), 0);
    // The shared document stays with the other form's row, its value that row's debit.
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE DocumentID = %1").arg(doc4)), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Value FROM tblAccountDocument WHERE ID = %1").arg(doc4)).toInt(), 700);
    // Nothing else was touched.
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnDetail")), 15);
}

TEST_F(Consistency, DocumentsASaveLeftHalfWrittenAreListedAndLeftToTheNextSave)
{
    // One save stopped after the header, another after the debit row.
    exec(QStringLiteral("INSERT INTO tblAccountDocument (ID, Code, Value) VALUES (910, 910, 1000)"));
    const qint64 doc2 = db.scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = 2")).toLongLong();
    exec(QStringLiteral("DELETE FROM tblAccountDocumentDetail WHERE DocumentID = %1 AND CreditValue > 0").arg(doc2));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::EmptyDocument).size(), 1);
    const QStringList unbalanced = texts(ConsistencyCheck::Kind::UnbalancedDocument);
    ASSERT_EQ(unbalanced.size(), 1);
    EXPECT_TRUE(unbalanced[0].contains(QString::number(doc2))) << unbalanced[0].toStdString();
    // A header without rows may be a save running now: not removed.
    EXPECT_EQ(checkTool({db.connectionString(), QStringLiteral("--repair")}).exitCode, 1);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument WHERE ID = 910")), 1);
}

TEST_F(Consistency, AReceiptInTwoDocumentsIsListedWithBothAndNotRepaired)
{
    exec(QStringLiteral("INSERT INTO tblAccountDocument (ID, Code, Value) VALUES (900, 900, 48000000)"));
    exec(QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, DebitValue, CreditValue, "
                        "FormID, FormTypeID) VALUES (900, 1, 110101, 48000000, 0, 3, 206)"));
    const qint64 first = db.scalar(QStringLiteral("SELECT min(DocumentID) FROM tblAccountDocumentDetail WHERE FormID = 3")).toLongLong();
    const QStringList twice = texts(ConsistencyCheck::Kind::ReceiptWithTwoDocuments);
    ASSERT_EQ(twice.size(), 1);
    EXPECT_TRUE(twice[0].contains(QString::number(first)) && twice[0].contains(QStringLiteral("900")));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::ReceiptRowsNotAPair).size(), 1); // three rows
    const ProgramRun run = checkTool({db.connectionString(), QStringLiteral("--repair")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocumentDetail WHERE FormID = 3 AND FormTypeID = 206")), 3);
}

TEST_F(Consistency, TurnMembersWithoutAnOpenerOnlyTheMembersOfAVanishedTurnAreRemoved)
{
    SQLITE_ONLY(); // a server's foreign keys keep such rows out
    // Rows another program could leave on a file without foreign keys.
    exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    exec(QStringLiteral("INSERT INTO tblRecPayCashTurnUser (CashTurnID, UserID) VALUES (77, 486), (77, 756)"));
    exec(QStringLiteral("UPDATE tblRecPayCashTurn SET UserID = 999 WHERE ID = 4"));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::TurnMembersWithoutOpener).size(), 2);
    const ProgramRun run = checkTool({db.connectionString(), QStringLiteral("--repair")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnUser WHERE CashTurnID = 77")), 0);
    // Who opened turn 4 is not guessed: its member stays and it is still listed.
    EXPECT_EQ(db.count(QStringLiteral("tblRecPayCashTurnUser WHERE CashTurnID = 4")), 1);
    EXPECT_EQ(texts(ConsistencyCheck::Kind::TurnMembersWithoutOpener).size(), 1);
}

TEST_F(Consistency, AClosedTurnWhoseReceiptsChangedAfterItsCountIsListed)
{
    // One change after another on the same database: 4 and 5 are final
    // receipts of closed turn 2, 6 its draft, 7 a receipt of open turn 3.
    // The finding names the balance expected at the close and the one now.
    const struct
    {
        const char *change;
        const char *now; // null: nothing listed
    } cases[] = {
        {"UPDATE tblRecPayCashTurnDetail SET ReceivedValue = 1 WHERE ID = 7", nullptr},
        {"UPDATE tblRecPayCashTurnDetail SET Description = 'x' WHERE ID = 5", "24890000"},
        {"UPDATE tblRecPayCashTurnDetail SET ReceivedValue = ReceivedValue + 1000 WHERE ID = 6", "24891000"},
        {"DELETE FROM tblRecPayCashTurnDetail WHERE ID = 6", "24250000"},
    };
    for (const auto &c : cases) {
        exec(QLatin1String(c.change));
        const QStringList listed = texts(ConsistencyCheck::Kind::TurnChangedAfterClose);
        ASSERT_EQ(listed.size(), c.now ? 1 : 0) << c.change;
        if (c.now) {
            EXPECT_TRUE(listed[0].contains(QStringLiteral("24890000")) && listed[0].contains(QLatin1String(c.now)))
                << listed[0].toStdString();
        }
    }
}

TEST_F(Consistency, ACodeGivenTwiceInAFormTypeIsListedWithItsReceipts)
{
    // Another program, or a database without the unique index, gave code 2 again.
    exec(QStringLiteral("DROP INDEX UX_CashTurnDetail_Code"));
    exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Code = 2 WHERE ID = 9"));
    // Code 1 is used by receipt 1 and by row 15 of another form type: allowed.
    const QStringList twice = texts(ConsistencyCheck::Kind::CodeUsedTwice);
    ASSERT_EQ(twice.size(), 1);
    EXPECT_TRUE(twice[0].contains(QStringLiteral("2، 9"))) << twice[0].toStdString();
    // The highest code noted as given fell behind the codes given.
    exec(QStringLiteral("UPDATE tblOmberLastCode SET LastCode = 5 WHERE FormTypeID = 206"));
    EXPECT_EQ(texts(ConsistencyCheck::Kind::CodeNotNoted).size(), 1);
}

TEST_F(Consistency, ExitStatusesTellFindingsWrongArgumentsAndADatabaseThatCannotBeChecked)
{
    // The demo database is consistent (what the other tests count on); a
    // file may be named by its path alone.
    EXPECT_TRUE(db.findings().isEmpty());
    const ProgramRun clean = checkTool({DemoDatabase::onPostgres() ? db.connectionString() : db.path()});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.lines(), QStringList{QStringLiteral("ناسازگاري يافت نشد.")});
    addOrphanDocument(901);
    const ProgramRun found = checkTool({db.connectionString()});
    EXPECT_EQ(found.exitCode, 1);
    EXPECT_EQ(found.lines().last(), QStringLiteral("1 ناسازگاري يافت شد."));
    // Everything repairable: after the repair nothing is left.
    const ProgramRun repaired = checkTool({db.connectionString(), QStringLiteral("--repair")});
    EXPECT_EQ(repaired.exitCode, 0) << repaired.lines().join(u'\n').toStdString();
    EXPECT_EQ(repaired.lines().last(), clean.lines().last());
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument WHERE ID = 901")), 0);

    EXPECT_EQ(checkTool({}).exitCode, 2);
    EXPECT_EQ(checkTool({db.connectionString(), QStringLiteral("--fix")}).exitCode, 2);

    QTemporaryDir dir;
    const ProgramRun missing = checkTool({dir.filePath(QStringLiteral("none.db"))});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("يافت نشد"))) << missing.err.toStdString();
    QFile text(dir.filePath(QStringLiteral("notes.db")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("these are not the receipts you are looking for\n").repeated(200));
    text.close();
    const ProgramRun notADatabase = checkTool({text.fileName()});
    EXPECT_EQ(notADatabase.exitCode, 3);
    EXPECT_FALSE(notADatabase.err.isEmpty());
}

TEST_F(Consistency, ADamagedFileIsListedAndNeverRepaired)
{
    SQLITE_ONLY();
    addOrphanDocument(902); // repairable, on a sound file
    exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const int page = db.scalar(QStringLiteral("PRAGMA page_size")).toInt();
    const int root = db.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'IX_CashTurnDetail_Date'")).toInt();
    {
        QFile file(db.path());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(qint64(page) * (root - 1) + page - 200);
        file.write(QByteArray(200, '\0'));
    }
    const ProgramRun run = checkTool({db.path(), QStringLiteral("--repair")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    ASSERT_GE(run.lines().size(), 2);
    EXPECT_EQ(run.lines()[0], QStringLiteral("فايل آسيب ديده است؛ ترميمي انجام نشد."));
    EXPECT_TRUE(run.lines()[1].startsWith(QStringLiteral("فايل پايگاه داده آسيب ديده است: "))) << run.out.toStdString();
    EXPECT_EQ(db.count(QStringLiteral("tblAccountDocument WHERE ID = 902")), 1);
}
