-- The triggers of the receipts table: codes held for drafts, and the record
-- of what a finally registered receipt was before each change and who
-- changed it. The same rules as the embedded database's triggers. The user
-- is what the component's connection set as pardex.user when it opened.

CREATE FUNCTION pardex_session_user() RETURNS integer LANGUAGE sql STABLE AS $$
  SELECT nullif(nullif(current_setting('pardex.user', true), ''), '0')::integer
$$;

-- A receipt's columns as the record of changes keeps them: what the
-- receipt says, so two images differ exactly when the receipt changed.
CREATE FUNCTION pardex_receipt_image(r tblRecPayCashTurnDetail) RETURNS text LANGUAGE sql STABLE AS $$
  SELECT json_build_object('CashTurnID', r.CashTurnID, 'Code', r.Code,
    'TransactionDate', to_char(r.TransactionDate, 'YYYY-MM-DD HH24:MI:SS'),
    'FarsiTransactionDate', r.FarsiTransactionDate, 'Description', r.Description,
    'ReceivedValue', r.ReceivedValue, 'PayedValue', r.PayedValue, 'RelatedAccountID', r.RelatedAccountID,
    'ContractID', r.ContractID, 'ClassID1', r.ClassID1, 'ObjectID1', r.ObjectID1, 'ClassID2', r.ClassID2,
    'ObjectID2', r.ObjectID2, 'ClassID3', r.ClassID3, 'ObjectID3', r.ObjectID3, 'BranchID', r.BranchID,
    'AchieverID', r.AchieverID)::text
$$;

-- A receipt going back to the draft state holds its code; taking a code
-- gives it up.
CREATE FUNCTION pardex_code_released() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  DELETE FROM tblRecPayReleasedCode WHERE FormTypeID = OLD.FormTypeID AND Code = OLD.Code AND ReceiptID <> OLD.ID;
  INSERT INTO tblRecPayReleasedCode (ReceiptID, FormTypeID, Code) VALUES (OLD.ID, OLD.FormTypeID, OLD.Code)
  ON CONFLICT (ReceiptID) DO UPDATE SET FormTypeID = EXCLUDED.FormTypeID, Code = EXCLUDED.Code;
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayCodeReleased AFTER UPDATE OF Code ON tblRecPayCashTurnDetail
  FOR EACH ROW WHEN (OLD.Code IS NOT NULL AND NEW.Code IS NULL) EXECUTE FUNCTION pardex_code_released();

CREATE FUNCTION pardex_code_taken() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  DELETE FROM tblRecPayReleasedCode WHERE ReceiptID = NEW.ID;
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayCodeTaken AFTER UPDATE OF Code ON tblRecPayCashTurnDetail
  FOR EACH ROW WHEN (NEW.Code IS NOT NULL) EXECUTE FUNCTION pardex_code_taken();

-- The highest code ever given, kept past the deletion of what held it.
CREATE FUNCTION pardex_remember_code(p_table varchar, p_formtypeid integer, p_code integer) RETURNS void
  LANGUAGE sql AS $$
  INSERT INTO tblOmberLastCode (TableName, FormTypeID, LastCode) VALUES (p_table, p_formtypeid, p_code)
  ON CONFLICT (TableName, FormTypeID) DO UPDATE SET LastCode = greatest(tblOmberLastCode.LastCode, EXCLUDED.LastCode)
$$;
CREATE FUNCTION pardex_receipt_code_given() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pardex_remember_code('tblRecPayCashTurnDetail', NEW.FormTypeID, NEW.Code);
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayCodeGiven AFTER INSERT OR UPDATE OF Code ON tblRecPayCashTurnDetail
  FOR EACH ROW WHEN (NEW.Code IS NOT NULL) EXECUTE FUNCTION pardex_receipt_code_given();
CREATE FUNCTION pardex_document_code_given() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pardex_remember_code('tblAccountDocument', 0, NEW.Code);
  RETURN NULL;
END $$;
CREATE TRIGGER trAccountDocumentCodeGiven AFTER INSERT ON tblAccountDocument
  FOR EACH ROW WHEN (NEW.Code IS NOT NULL) EXECUTE FUNCTION pardex_document_code_given();

-- The receipt itself changed (a save's first statement, or a return): an
-- edit stays open for the detail levels that follow it.
CREATE FUNCTION pardex_receipt_changed() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0 WHERE ReceiptID = NEW.ID AND IsOpen = 1;
  INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
  VALUES (NEW.ID, NEW.FormTypeID, CASE WHEN NEW.Code IS NULL THEN 'return' ELSE 'edit' END,
          CASE WHEN NEW.Code IS NULL THEN 0 ELSE 1 END, pardex_session_user(), localtimestamp,
          pardex_receipt_image(OLD), pardex_receipt_image(NEW));
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayChanged AFTER UPDATE OF CashTurnID, Code, TransactionDate, FarsiTransactionDate, Description,
  ReceivedValue, PayedValue, RelatedAccountID, ContractID ON tblRecPayCashTurnDetail
  FOR EACH ROW WHEN (OLD.Code IS NOT NULL AND pardex_receipt_image(OLD) IS DISTINCT FROM pardex_receipt_image(NEW))
  EXECUTE FUNCTION pardex_receipt_changed();

-- The detail levels: they complete an open record, or are a change of
-- their own; right after the insert they are part of the creation.
CREATE FUNCTION pardex_levels_changed() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  IF OLD.Code IS NOT NULL AND coalesce(OLD.LevelsPending, 0) = 0
     AND (OLD.ClassID1, OLD.ObjectID1, OLD.ClassID2, OLD.ObjectID2, OLD.ClassID3, OLD.ObjectID3, OLD.BranchID,
          OLD.AchieverID)
         IS DISTINCT FROM
         (NEW.ClassID1, NEW.ObjectID1, NEW.ClassID2, NEW.ObjectID2, NEW.ClassID3, NEW.ObjectID3, NEW.BranchID,
          NEW.AchieverID)
     AND NOT EXISTS (SELECT 1 FROM tblRecPayCashTurnDetailHistory WHERE ReceiptID = NEW.ID AND IsOpen = 1) THEN
    INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
    VALUES (NEW.ID, NEW.FormTypeID, 'edit', 0, pardex_session_user(), localtimestamp, pardex_receipt_image(OLD),
            pardex_receipt_image(NEW));
  END IF;
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0, After = pardex_receipt_image(NEW)
   WHERE ReceiptID = NEW.ID AND IsOpen = 1;
  UPDATE tblRecPayCashTurnDetail SET LevelsPending = NULL WHERE ID = NEW.ID AND LevelsPending IS NOT NULL;
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayLevelsChanged AFTER UPDATE OF ClassID1, ObjectID1, ClassID2, ObjectID2, ClassID3, ObjectID3,
  BranchID, AchieverID ON tblRecPayCashTurnDetail
  FOR EACH ROW EXECUTE FUNCTION pardex_levels_changed();

-- Deleted receipts; their records outlive them.
CREATE FUNCTION pardex_receipt_deleted() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  UPDATE tblRecPayCashTurnDetailHistory SET IsOpen = 0 WHERE ReceiptID = OLD.ID AND IsOpen = 1;
  INSERT INTO tblRecPayCashTurnDetailHistory (ReceiptID, FormTypeID, Kind, IsOpen, UserID, ChangedAt, Before, After)
  VALUES (OLD.ID, OLD.FormTypeID, 'delete', 0, pardex_session_user(), localtimestamp, pardex_receipt_image(OLD), NULL);
  RETURN NULL;
END $$;
CREATE TRIGGER trRecPayDeleted AFTER DELETE ON tblRecPayCashTurnDetail
  FOR EACH ROW EXECUTE FUNCTION pardex_receipt_deleted();

-- The change stamp: every change of what a receipt says counts one more
-- and names its user and moment; a statement that sets the count itself
-- is that change.
CREATE FUNCTION pardex_receipt_stamped() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  -- In the body, not in a WHEN clause: a BEFORE trigger's condition may
  -- not read the whole new row, which has a generated column.
  IF OLD.ChangeCount IS DISTINCT FROM NEW.ChangeCount
     OR pardex_receipt_image(OLD) IS DISTINCT FROM pardex_receipt_image(NEW) THEN
    NEW.ChangeCount := OLD.ChangeCount + 1;
    NEW.ChangedBy := pardex_session_user();
    NEW.ChangedAt := localtimestamp;
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER trRecPayStamp BEFORE UPDATE ON tblRecPayCashTurnDetail
  FOR EACH ROW EXECUTE FUNCTION pardex_receipt_stamped();
