-- The triggers of the receipts table: codes held for drafts, and the record
-- of what a finally registered receipt was before each change and who
-- changed it. The same rules as the embedded database's triggers.
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO
CREATE TRIGGER trRecPayCashTurnDetailChanged ON tblRecPayCashTurnDetail AFTER INSERT, UPDATE, DELETE AS
BEGIN
  SET NOCOUNT ON;
  DECLARE @User int = TRY_CAST(SESSION_CONTEXT(N'PardexUser') AS int);
  IF @User = 0 SET @User = NULL;
  DECLARE @Now datetime = GETDATE();

  -- A receipt going back to the draft state holds its code; taking a code gives it up.
  IF UPDATE(Code)
  BEGIN
    DELETE r FROM tblRecPayReleasedCode r JOIN inserted i ON i.ID = r.ReceiptID WHERE i.Code IS NOT NULL;
    INSERT INTO tblRecPayReleasedCode (ReceiptID, FormTypeID, Code)
    SELECT d.ID, d.FormTypeID, d.Code FROM deleted d JOIN inserted i ON i.ID = d.ID
     WHERE d.Code IS NOT NULL AND i.Code IS NULL
       AND NOT EXISTS (SELECT 1 FROM tblRecPayReleasedCode r WHERE r.ReceiptID = d.ID);
  END

  -- The highest code ever given, kept past the deletion of what held it.
  MERGE tblOmberLastCode WITH (HOLDLOCK) AS t
  USING (SELECT FormTypeID, MAX(Code) AS Code FROM inserted WHERE Code IS NOT NULL GROUP BY FormTypeID) AS s
     ON t.TableName = 'tblRecPayCashTurnDetail' AND t.FormTypeID = s.FormTypeID
  WHEN MATCHED AND s.Code > t.LastCode THEN UPDATE SET LastCode = s.Code
  WHEN NOT MATCHED THEN INSERT (TableName, FormTypeID, LastCode) VALUES ('tblRecPayCashTurnDetail', s.FormTypeID, s.Code);

  -- Deleted receipts.
  IF NOT EXISTS (SELECT 1 FROM inserted)
  BEGIN
    UPDATE h SET IsOpen = 0 FROM tblRecPayCashTurnDetailHistory h JOIN deleted d ON d.ID = h.ReceiptID WHERE h.IsOpen = 1;
    INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
    SELECT d.ID, d.FormTypeID, 'delete', 0, @User, @Now, (SELECT d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description, d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID, d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES), NULL FROM deleted d;
    RETURN;
  END
  IF NOT EXISTS (SELECT 1 FROM deleted) RETURN;

  -- The receipt itself changed (a save's first statement, or a return):
  -- an edit stays open for the detail levels that follow it.
  IF UPDATE(CashTurnID) OR UPDATE(Code) OR UPDATE(TransactionDate) OR UPDATE(FarsiTransactionDate) OR UPDATE(Description) OR UPDATE(ReceivedValue) OR UPDATE(PayedValue) OR UPDATE(RelatedAccountID) OR UPDATE(ContractID)
  BEGIN
    UPDATE h SET IsOpen = 0 FROM tblRecPayCashTurnDetailHistory h JOIN inserted i ON i.ID = h.ReceiptID WHERE h.IsOpen = 1;
    INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
    SELECT i.ID, i.FormTypeID, CASE WHEN i.Code IS NULL THEN 'return' ELSE 'edit' END,
           CASE WHEN i.Code IS NULL THEN 0 ELSE 1 END, @User, @Now, (SELECT d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description, d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID, d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES), (SELECT i.CashTurnID, i.Code, i.TransactionDate, i.FarsiTransactionDate, i.Description, i.ReceivedValue, i.PayedValue, i.RelatedAccountID, i.ContractID, i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES)
      FROM inserted i JOIN deleted d ON d.ID = i.ID
     WHERE d.Code IS NOT NULL AND EXISTS (SELECT d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description, d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID, d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID EXCEPT SELECT i.CashTurnID, i.Code, i.TransactionDate, i.FarsiTransactionDate, i.Description, i.ReceivedValue, i.PayedValue, i.RelatedAccountID, i.ContractID, i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID);
  END
  -- The detail levels: they complete an open record, or are a change of
  -- their own; right after the insert they are part of the creation.
  ELSE IF UPDATE(ClassID1) OR UPDATE(ObjectID1) OR UPDATE(ClassID2) OR UPDATE(ObjectID2) OR UPDATE(ClassID3) OR UPDATE(ObjectID3) OR UPDATE(BranchID) OR UPDATE(AchieverID)
  BEGIN
    INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
    SELECT i.ID, i.FormTypeID, 'edit', 0, @User, @Now, (SELECT d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description, d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID, d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES), (SELECT i.CashTurnID, i.Code, i.TransactionDate, i.FarsiTransactionDate, i.Description, i.ReceivedValue, i.PayedValue, i.RelatedAccountID, i.ContractID, i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES)
      FROM inserted i JOIN deleted d ON d.ID = i.ID
     WHERE d.Code IS NOT NULL AND ISNULL(d.LevelsPending, 0) = 0 AND EXISTS (SELECT d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID EXCEPT SELECT i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID)
       AND NOT EXISTS (SELECT 1 FROM tblRecPayCashTurnDetailHistory h WHERE h.ReceiptID = i.ID AND h.IsOpen = 1);
    UPDATE h SET IsOpen = 0, After = (SELECT i.CashTurnID, i.Code, i.TransactionDate, i.FarsiTransactionDate, i.Description, i.ReceivedValue, i.PayedValue, i.RelatedAccountID, i.ContractID, i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID FOR JSON PATH, WITHOUT_ARRAY_WRAPPER, INCLUDE_NULL_VALUES)
      FROM tblRecPayCashTurnDetailHistory h JOIN inserted i ON i.ID = h.ReceiptID WHERE h.IsOpen = 1;
    UPDATE t SET LevelsPending = NULL FROM tblRecPayCashTurnDetail t JOIN inserted i ON i.ID = t.ID
     WHERE t.LevelsPending IS NOT NULL;
  END

  -- The change stamp: every change of what a receipt says counts one more
  -- and names its user and moment; a statement that sets the count itself
  -- is that change.
  IF UPDATE(ChangeCount) OR UPDATE(CashTurnID) OR UPDATE(Code) OR UPDATE(TransactionDate) OR UPDATE(FarsiTransactionDate) OR UPDATE(Description) OR UPDATE(ReceivedValue) OR UPDATE(PayedValue) OR UPDATE(RelatedAccountID) OR UPDATE(ContractID) OR UPDATE(ClassID1) OR UPDATE(ObjectID1) OR UPDATE(ClassID2) OR UPDATE(ObjectID2) OR UPDATE(ClassID3) OR UPDATE(ObjectID3) OR UPDATE(BranchID) OR UPDATE(AchieverID)
    UPDATE t SET ChangeCount = d.ChangeCount + 1, ChangedBy = @User, ChangedAt = @Now
      FROM tblRecPayCashTurnDetail t JOIN inserted i ON i.ID = t.ID JOIN deleted d ON d.ID = t.ID
     WHERE i.ChangeCount <> d.ChangeCount OR EXISTS (SELECT d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description, d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID, d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3, d.BranchID, d.AchieverID EXCEPT SELECT i.CashTurnID, i.Code, i.TransactionDate, i.FarsiTransactionDate, i.Description, i.ReceivedValue, i.PayedValue, i.RelatedAccountID, i.ContractID, i.ClassID1, i.ObjectID1, i.ClassID2, i.ObjectID2, i.ClassID3, i.ObjectID3, i.BranchID, i.AchieverID);
END
GO
CREATE TRIGGER trAccountDocumentCodeGiven ON tblAccountDocument AFTER INSERT AS
BEGIN
  SET NOCOUNT ON;
  -- A document number once given is never given again.
  MERGE tblOmberLastCode WITH (HOLDLOCK) AS t
  USING (SELECT MAX(Code) AS Code FROM inserted WHERE Code IS NOT NULL HAVING MAX(Code) IS NOT NULL) AS s
     ON t.TableName = 'tblAccountDocument' AND t.FormTypeID = 0
  WHEN MATCHED AND s.Code > t.LastCode THEN UPDATE SET LastCode = s.Code
  WHEN NOT MATCHED THEN INSERT (TableName, FormTypeID, LastCode) VALUES ('tblAccountDocument', 0, s.Code);
END
GO
