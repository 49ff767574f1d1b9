#include "suite/Session.h"

#include <sqlite3.h>

namespace suite {

namespace {

void sessionUser(sqlite3_context *context, int, sqlite3_value **)
{
    const auto *user = static_cast<const qint32 *>(sqlite3_user_data(context));
    if (user && *user != 0)
        sqlite3_result_int(context, *user);
    else
        sqlite3_result_null(context);
}

// The record of changes of final receipts, written with the change: an
// edit, a return to the draft state or a deletion of a receipt that was
// final. Temporary triggers of the connection, since they call its user
// function: a program that does not register it (the sqlite3 shell) still
// writes, unrecorded, rather than failing. A save writes its receipt and
// then its detail levels as two statements: the first opens the record
// (IsOpen 1), the second completes its After; the levels written right
// after an insert, or after a draft becomes final, belong to that step
// (LevelsPending), not to a change of their own.
const char *const ChangeRecordTriggers = R"SQL(
CREATE TEMP TRIGGER trRecPayChanged AFTER UPDATE OF CashTurnID, Code, TransactionDate, FarsiTransactionDate, Description, ReceivedValue, PayedValue, RelatedAccountID, ContractID ON main.tblRecPayCashTurnDetail
WHEN OLD.Code IS NOT NULL AND (OLD.CashTurnID IS NOT NEW.CashTurnID OR OLD.Code IS NOT NEW.Code OR OLD.TransactionDate IS NOT NEW.TransactionDate OR OLD.FarsiTransactionDate IS NOT NEW.FarsiTransactionDate OR OLD.Description IS NOT NEW.Description OR OLD.ReceivedValue IS NOT NEW.ReceivedValue OR OLD.PayedValue IS NOT NEW.PayedValue OR OLD.RelatedAccountID IS NOT NEW.RelatedAccountID OR OLD.ContractID IS NOT NEW.ContractID OR OLD.ClassID1 IS NOT NEW.ClassID1 OR OLD.ObjectID1 IS NOT NEW.ObjectID1 OR OLD.ClassID2 IS NOT NEW.ClassID2 OR OLD.ObjectID2 IS NOT NEW.ObjectID2 OR OLD.ClassID3 IS NOT NEW.ClassID3 OR OLD.ObjectID3 IS NOT NEW.ObjectID3 OR OLD.BranchID IS NOT NEW.BranchID OR OLD.AchieverID IS NOT NEW.AchieverID)
BEGIN
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0 WHERE ReceiptID = NEW.ID AND IsOpen = 1;
  INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
  VALUES (NEW.ID, NEW.FormTypeID, CASE WHEN NEW.Code IS NULL THEN 'return' ELSE 'edit' END,
          CASE WHEN NEW.Code IS NULL THEN 0 ELSE 1 END, pardex_user(), datetime('now', 'localtime'),
          json_object('CashTurnID', OLD.CashTurnID, 'Code', OLD.Code, 'TransactionDate', OLD.TransactionDate, 'FarsiTransactionDate', OLD.FarsiTransactionDate, 'Description', OLD.Description, 'ReceivedValue', OLD.ReceivedValue, 'PayedValue', OLD.PayedValue, 'RelatedAccountID', OLD.RelatedAccountID, 'ContractID', OLD.ContractID, 'ClassID1', OLD.ClassID1, 'ObjectID1', OLD.ObjectID1, 'ClassID2', OLD.ClassID2, 'ObjectID2', OLD.ObjectID2, 'ClassID3', OLD.ClassID3, 'ObjectID3', OLD.ObjectID3, 'BranchID', OLD.BranchID, 'AchieverID', OLD.AchieverID),
          json_object('CashTurnID', NEW.CashTurnID, 'Code', NEW.Code, 'TransactionDate', NEW.TransactionDate, 'FarsiTransactionDate', NEW.FarsiTransactionDate, 'Description', NEW.Description, 'ReceivedValue', NEW.ReceivedValue, 'PayedValue', NEW.PayedValue, 'RelatedAccountID', NEW.RelatedAccountID, 'ContractID', NEW.ContractID, 'ClassID1', NEW.ClassID1, 'ObjectID1', NEW.ObjectID1, 'ClassID2', NEW.ClassID2, 'ObjectID2', NEW.ObjectID2, 'ClassID3', NEW.ClassID3, 'ObjectID3', NEW.ObjectID3, 'BranchID', NEW.BranchID, 'AchieverID', NEW.AchieverID));
END;
CREATE TEMP TRIGGER trRecPayLevelsChanged AFTER UPDATE OF ClassID1, ObjectID1, ClassID2, ObjectID2, ClassID3, ObjectID3, BranchID, AchieverID ON main.tblRecPayCashTurnDetail
BEGIN
  INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
  SELECT NEW.ID, NEW.FormTypeID, 'edit', 0, pardex_user(), datetime('now', 'localtime'),
         json_object('CashTurnID', OLD.CashTurnID, 'Code', OLD.Code, 'TransactionDate', OLD.TransactionDate, 'FarsiTransactionDate', OLD.FarsiTransactionDate, 'Description', OLD.Description, 'ReceivedValue', OLD.ReceivedValue, 'PayedValue', OLD.PayedValue, 'RelatedAccountID', OLD.RelatedAccountID, 'ContractID', OLD.ContractID, 'ClassID1', OLD.ClassID1, 'ObjectID1', OLD.ObjectID1, 'ClassID2', OLD.ClassID2, 'ObjectID2', OLD.ObjectID2, 'ClassID3', OLD.ClassID3, 'ObjectID3', OLD.ObjectID3, 'BranchID', OLD.BranchID, 'AchieverID', OLD.AchieverID),
         json_object('CashTurnID', NEW.CashTurnID, 'Code', NEW.Code, 'TransactionDate', NEW.TransactionDate, 'FarsiTransactionDate', NEW.FarsiTransactionDate, 'Description', NEW.Description, 'ReceivedValue', NEW.ReceivedValue, 'PayedValue', NEW.PayedValue, 'RelatedAccountID', NEW.RelatedAccountID, 'ContractID', NEW.ContractID, 'ClassID1', NEW.ClassID1, 'ObjectID1', NEW.ObjectID1, 'ClassID2', NEW.ClassID2, 'ObjectID2', NEW.ObjectID2, 'ClassID3', NEW.ClassID3, 'ObjectID3', NEW.ObjectID3, 'BranchID', NEW.BranchID, 'AchieverID', NEW.AchieverID)
  WHERE OLD.Code IS NOT NULL AND ifnull(OLD.LevelsPending, 0) = 0 AND (OLD.ClassID1 IS NOT NEW.ClassID1 OR OLD.ObjectID1 IS NOT NEW.ObjectID1 OR OLD.ClassID2 IS NOT NEW.ClassID2 OR OLD.ObjectID2 IS NOT NEW.ObjectID2 OR OLD.ClassID3 IS NOT NEW.ClassID3 OR OLD.ObjectID3 IS NOT NEW.ObjectID3 OR OLD.BranchID IS NOT NEW.BranchID OR OLD.AchieverID IS NOT NEW.AchieverID)
    AND NOT EXISTS (SELECT 1 FROM tblRecPayCashTurnDetailHistory WHERE ReceiptID = NEW.ID AND IsOpen = 1);
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0,
         After = json_object('CashTurnID', NEW.CashTurnID, 'Code', NEW.Code, 'TransactionDate', NEW.TransactionDate, 'FarsiTransactionDate', NEW.FarsiTransactionDate, 'Description', NEW.Description, 'ReceivedValue', NEW.ReceivedValue, 'PayedValue', NEW.PayedValue, 'RelatedAccountID', NEW.RelatedAccountID, 'ContractID', NEW.ContractID, 'ClassID1', NEW.ClassID1, 'ObjectID1', NEW.ObjectID1, 'ClassID2', NEW.ClassID2, 'ObjectID2', NEW.ObjectID2, 'ClassID3', NEW.ClassID3, 'ObjectID3', NEW.ObjectID3, 'BranchID', NEW.BranchID, 'AchieverID', NEW.AchieverID)
   WHERE ReceiptID = NEW.ID AND IsOpen = 1;
  UPDATE tblRecPayCashTurnDetail SET LevelsPending = NULL WHERE ID = NEW.ID AND LevelsPending IS NOT NULL;
END;
CREATE TEMP TRIGGER trRecPayDeleted AFTER DELETE ON main.tblRecPayCashTurnDetail
BEGIN
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0 WHERE ReceiptID = OLD.ID AND IsOpen = 1;
  INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
  VALUES (OLD.ID, OLD.FormTypeID, 'delete', 0, pardex_user(), datetime('now', 'localtime'),
          json_object('CashTurnID', OLD.CashTurnID, 'Code', OLD.Code, 'TransactionDate', OLD.TransactionDate, 'FarsiTransactionDate', OLD.FarsiTransactionDate, 'Description', OLD.Description, 'ReceivedValue', OLD.ReceivedValue, 'PayedValue', OLD.PayedValue, 'RelatedAccountID', OLD.RelatedAccountID, 'ContractID', OLD.ContractID, 'ClassID1', OLD.ClassID1, 'ObjectID1', OLD.ObjectID1, 'ClassID2', OLD.ClassID2, 'ObjectID2', OLD.ObjectID2, 'ClassID3', OLD.ClassID3, 'ObjectID3', OLD.ObjectID3, 'BranchID', OLD.BranchID, 'AchieverID', OLD.AchieverID), NULL);
END;
)SQL";

// The change stamp: every change of what a receipt says counts one more
// and names its user and moment; a statement that sets the count itself is
// that change. Its own update fires no trigger again: recursive triggers
// are off, and it sets none of the columns the others watch.
const char *const ChangeStampTrigger = R"SQL(
CREATE TEMP TRIGGER trRecPayStamp AFTER UPDATE OF ChangeCount, CashTurnID, Code, TransactionDate, FarsiTransactionDate, Description, ReceivedValue, PayedValue, RelatedAccountID, ContractID, ClassID1, ObjectID1, ClassID2, ObjectID2, ClassID3, ObjectID3, BranchID, AchieverID ON main.tblRecPayCashTurnDetail
WHEN OLD.ChangeCount IS NOT NEW.ChangeCount OR OLD.CashTurnID IS NOT NEW.CashTurnID OR OLD.Code IS NOT NEW.Code OR OLD.TransactionDate IS NOT NEW.TransactionDate OR OLD.FarsiTransactionDate IS NOT NEW.FarsiTransactionDate OR OLD.Description IS NOT NEW.Description OR OLD.ReceivedValue IS NOT NEW.ReceivedValue OR OLD.PayedValue IS NOT NEW.PayedValue OR OLD.RelatedAccountID IS NOT NEW.RelatedAccountID OR OLD.ContractID IS NOT NEW.ContractID OR OLD.ClassID1 IS NOT NEW.ClassID1 OR OLD.ObjectID1 IS NOT NEW.ObjectID1 OR OLD.ClassID2 IS NOT NEW.ClassID2 OR OLD.ObjectID2 IS NOT NEW.ObjectID2 OR OLD.ClassID3 IS NOT NEW.ClassID3 OR OLD.ObjectID3 IS NOT NEW.ObjectID3 OR OLD.BranchID IS NOT NEW.BranchID OR OLD.AchieverID IS NOT NEW.AchieverID
BEGIN
  UPDATE tblRecPayCashTurnDetail SET ChangeCount = OLD.ChangeCount + 1, ChangedBy = pardex_user(),
         ChangedAt = datetime('now', 'localtime') WHERE ID = NEW.ID;
END;
)SQL";

bool exists(sqlite3 *db, const char *query)
{
    sqlite3_stmt *st = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, query, -1, &st, nullptr) == SQLITE_OK)
        found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

} // namespace

void installChangeRecord(sqlite3 *db)
{
    // A database without the record or the stamp (made by an older
    // program) is used as it is.
    if (exists(db, "SELECT 1 FROM sqlite_master WHERE name = 'tblRecPayCashTurnDetailHistory'"))
        sqlite3_exec(db, ChangeRecordTriggers, nullptr, nullptr, nullptr);
    if (exists(db, "SELECT 1 FROM pragma_table_info('tblRecPayCashTurnDetail') WHERE name = 'ChangeCount'"))
        sqlite3_exec(db, ChangeStampTrigger, nullptr, nullptr, nullptr);
}

void registerSessionFunctions(sqlite3 *db, const qint32 *user)
{
    sqlite3_create_function_v2(db, "pardex_user", 0, SQLITE_UTF8, const_cast<qint32 *>(user), sessionUser, nullptr,
                               nullptr, nullptr);
    installChangeRecord(db);
}

} // namespace suite
