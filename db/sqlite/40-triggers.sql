-- The embedded database's own triggers: a receipt going back to the draft
-- state holds its code, taking a code gives it up, and the highest code
-- ever given is kept past the deletion of what held it. The record of
-- changes is written by each connection's temporary triggers
-- (suite/Session.cpp), since they record the connection's user.
CREATE TRIGGER trRecPayCodeReleased AFTER UPDATE OF Code ON tblRecPayCashTurnDetail
WHEN OLD.Code IS NOT NULL AND NEW.Code IS NULL
BEGIN
  INSERT OR REPLACE INTO tblRecPayReleasedCode (ReceiptID, FormTypeID, Code) VALUES (OLD.ID, OLD.FormTypeID, OLD.Code);
END;

CREATE TRIGGER trRecPayCodeTaken AFTER UPDATE OF Code ON tblRecPayCashTurnDetail
WHEN NEW.Code IS NOT NULL
BEGIN
  DELETE FROM tblRecPayReleasedCode WHERE ReceiptID = NEW.ID;
  INSERT INTO tblOmberLastCode (TableName, FormTypeID, LastCode) VALUES ('tblRecPayCashTurnDetail', NEW.FormTypeID, NEW.Code)
  ON CONFLICT (TableName, FormTypeID) DO UPDATE SET LastCode = max(LastCode, excluded.LastCode);
END;

CREATE TRIGGER trRecPayCodeGiven AFTER INSERT ON tblRecPayCashTurnDetail
WHEN NEW.Code IS NOT NULL
BEGIN
  INSERT INTO tblOmberLastCode (TableName, FormTypeID, LastCode) VALUES ('tblRecPayCashTurnDetail', NEW.FormTypeID, NEW.Code)
  ON CONFLICT (TableName, FormTypeID) DO UPDATE SET LastCode = max(LastCode, excluded.LastCode);
END;

CREATE TRIGGER trAccountDocumentCodeGiven AFTER INSERT ON tblAccountDocument
WHEN NEW.Code IS NOT NULL
BEGIN
  INSERT INTO tblOmberLastCode (TableName, FormTypeID, LastCode) VALUES ('tblAccountDocument', 0, NEW.Code)
  ON CONFLICT (TableName, FormTypeID) DO UPDATE SET LastCode = max(LastCode, excluded.LastCode);
END;
