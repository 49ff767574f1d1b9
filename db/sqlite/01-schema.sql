-- The embedded suite database (SQLite): tables, indexes, triggers and views.
-- The same objects as db/postgresql and db/mssql.
-- Organisation -----------------------------------------------------------
CREATE TABLE tblBranch (
  ID INTEGER PRIMARY KEY,
  Code VARCHAR(20),
  Title VARCHAR(100) NOT NULL
);
CREATE TABLE tblPosition (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(100) NOT NULL
);
CREATE TABLE tblEmployee (
  ID INTEGER PRIMARY KEY,
  PersonnelCode VARCHAR(20),
  FirstName VARCHAR(50),
  LastName VARCHAR(50) NOT NULL,
  BranchID INTEGER REFERENCES tblBranch(ID),
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblUser (
  ID INTEGER PRIMARY KEY,
  UserName VARCHAR(50) NOT NULL UNIQUE,
  FullName VARCHAR(100),
  BranchID INTEGER REFERENCES tblBranch(ID),
  EmployeeID INTEGER REFERENCES tblEmployee(ID),
  PositionID INTEGER REFERENCES tblPosition(ID),
  IsActive INT NOT NULL DEFAULT 1
);

-- Rights and the action log ----------------------------------------------
CREATE TABLE tblOmberPermission (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(200) NOT NULL
);
CREATE TABLE tblOmberUserPermission (
  UserID INTEGER NOT NULL REFERENCES tblUser(ID),
  PermissionID INTEGER NOT NULL,
  PRIMARY KEY (UserID, PermissionID)
) WITHOUT ROWID;
CREATE TABLE tblOmberFormAction (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  EventID INT NOT NULL,
  FormCode VARCHAR(50),
  FormTypeID INT NOT NULL,
  Description VARCHAR(1000),
  UserID INT,
  EventDate DATETIME,
  FarsiEventDate VARCHAR(10),
  EventTime INT
);
CREATE INDEX IX_FormAction_Form ON tblOmberFormAction (FormTypeID, FormCode);

-- Settings -----------------------------------------------------------------
CREATE TABLE tblOmberSystemParameters (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(200),
  Value VARCHAR(100)
);
CREATE TABLE tblOmberBasePath (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(100),
  BasePath VARCHAR(400)
);
CREATE TABLE tblOmberReportTemplate (
  ID INTEGER PRIMARY KEY,
  FormTypeID INT NOT NULL,
  Title VARCHAR(200) NOT NULL,
  FilePath VARCHAR(400) NOT NULL
);
CREATE INDEX IX_ReportTemplate_FormType ON tblOmberReportTemplate (FormTypeID);
CREATE TABLE tblOmberRelatedForms (
  ID INTEGER PRIMARY KEY,
  RelatedFormTypeID INT NOT NULL,
  RelatedFormID INT,
  ReferenceFormTypeID INT NOT NULL,
  ReferenceFormID INT NOT NULL
);
CREATE INDEX IX_RelatedForms_Reference ON tblOmberRelatedForms (ReferenceFormTypeID, ReferenceFormID);
CREATE TABLE tblOmberObjectClass (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(100) NOT NULL,
  ViewMinor VARCHAR(100),
  ViewMajor VARCHAR(100)
);

-- Accounts -----------------------------------------------------------------
CREATE TABLE tblAccount (
  ID INTEGER PRIMARY KEY,
  Code VARCHAR(30) NOT NULL UNIQUE,
  Title VARCHAR(200) NOT NULL,
  ParentID INTEGER REFERENCES tblAccount(ID),
  AccountLevel INT NOT NULL DEFAULT 1,
  IsDetail INT NOT NULL DEFAULT 0,
  IsActive INT NOT NULL DEFAULT 1
);
CREATE INDEX IX_Account_Parent ON tblAccount (ParentID);
CREATE INDEX IX_Account_Title ON tblAccount (Title);
CREATE TABLE tblAccountDetailLevel (
  AccountID INTEGER NOT NULL REFERENCES tblAccount(ID),
  LevelNo INT NOT NULL CHECK (LevelNo BETWEEN 1 AND 3),
  ClassID INTEGER NOT NULL REFERENCES tblOmberObjectClass(ID),
  PRIMARY KEY (AccountID, LevelNo)
) WITHOUT ROWID;
CREATE TABLE tblOrganization (
  ID INTEGER PRIMARY KEY,
  Name VARCHAR(200),
  Address VARCHAR(400),
  Phone1 VARCHAR(30),
  EconomicCode VARCHAR(20)
);
CREATE TABLE tblAccountRelatedObjects (
  ID INTEGER PRIMARY KEY,
  AccountID INTEGER NOT NULL REFERENCES tblAccount(ID),
  RelatedClassID INT NOT NULL,
  RelatedObjectID INT NOT NULL
);
CREATE INDEX IX_AccountRelatedObjects_Account ON tblAccountRelatedObjects (AccountID, RelatedClassID);
CREATE TABLE tblAccountContractProject (
  ID INTEGER PRIMARY KEY,
  Code VARCHAR(30),
  Title VARCHAR(200) NOT NULL,
  Kind INT NOT NULL DEFAULT 1,
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblAccountPeriod (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(100),
  IsActive INT NOT NULL DEFAULT 0,
  BeginDate DATETIME,
  EndDate DATETIME,
  FarsiBeginDate VARCHAR(10) NOT NULL,
  FarsiEndDate VARCHAR(10) NOT NULL
);
CREATE TABLE tblUserAccountPeriod (
  ID INTEGER PRIMARY KEY,
  AccountPeriodID INTEGER NOT NULL REFERENCES tblAccountPeriod(ID),
  UserID INTEGER NOT NULL REFERENCES tblUser(ID)
);
CREATE INDEX IX_UserAccountPeriod_User ON tblUserAccountPeriod (UserID);

-- Accounting documents ------------------------------------------------------
CREATE TABLE tblAccountDocument (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Code INT,
  CreatorID INT,
  CreateDate DATETIME,
  FarsiCreateDate VARCHAR(10),
  DocumentDate DATETIME,
  FarsiDocumentDate VARCHAR(10),
  Value MONEY,
  Description VARCHAR(4000)
);
CREATE TABLE tblAccountDocumentDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  DocumentID INTEGER NOT NULL REFERENCES tblAccountDocument(ID),
  RowNumber INT NOT NULL,
  AccountID INTEGER NOT NULL REFERENCES tblAccount(ID),
  TransactionDate DATETIME,
  FarsiTransactionDate VARCHAR(10),
  Description VARCHAR(500),
  DocumentTypeID INT,
  AdditionalFormID VARCHAR(20),
  ContractID INT,
  PositionID INT,
  DebitValue MONEY NOT NULL DEFAULT 0,
  CreditValue MONEY NOT NULL DEFAULT 0,
  FormID INT,
  FormTypeID INT
);
CREATE INDEX IX_DocumentDetail_Document ON tblAccountDocumentDetail (DocumentID);
CREATE INDEX IX_DocumentDetail_Form ON tblAccountDocumentDetail (FormID, FormTypeID);
CREATE TABLE tblAccountDocumentObjects (
  ID INTEGER PRIMARY KEY,
  DocumentID INTEGER NOT NULL REFERENCES tblAccountDocument(ID) ON DELETE CASCADE,
  RowNumber INT NOT NULL,
  Sequence INT NOT NULL,
  ClassID INT NOT NULL,
  ObjectID INT NOT NULL
);
CREATE INDEX IX_DocumentObjects_Document ON tblAccountDocumentObjects (DocumentID);

-- Inventory (read for the user's primary store) --------------------------
CREATE TABLE tblInventory (
  ID INTEGER PRIMARY KEY,
  Title VARCHAR(100) NOT NULL
);
CREATE TABLE tblInventoryUser (
  ID INTEGER PRIMARY KEY,
  InventoryID INTEGER NOT NULL REFERENCES tblInventory(ID),
  UserID INTEGER NOT NULL REFERENCES tblUser(ID),
  IsPrimary INT NOT NULL DEFAULT 0
);
CREATE INDEX IX_InventoryUser_User ON tblInventoryUser (UserID, IsPrimary);

-- Cash boxes, turns and receipts --------------------------------------------
CREATE TABLE tblRecPayCash (
  ID INTEGER PRIMARY KEY,
  Name VARCHAR(100) NOT NULL,
  AccountID INTEGER REFERENCES tblAccount(ID),
  BranchID INTEGER REFERENCES tblBranch(ID),
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblRecPayCashUsers (
  ID INTEGER PRIMARY KEY,
  CashID INTEGER NOT NULL REFERENCES tblRecPayCash(ID),
  UserID INTEGER NOT NULL REFERENCES tblUser(ID),
  UNIQUE (CashID, UserID)
);
CREATE INDEX IX_RecPayCashUsers_User ON tblRecPayCashUsers (UserID);
CREATE TABLE tblRecPayCashTurn (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CashID INTEGER NOT NULL REFERENCES tblRecPayCash(ID),
  Turn INT NOT NULL,
  UserID INTEGER NOT NULL REFERENCES tblUser(ID),
  IsOpen INT,
  OpenDate DATETIME,
  FarsiOpenDate VARCHAR(10),
  CloseDate DATETIME,
  FarsiCloseDate VARCHAR(10),
  UNIQUE (CashID, Turn)
);
CREATE INDEX IX_CashTurn_User ON tblRecPayCashTurn (UserID, IsOpen);
CREATE INDEX IX_CashTurn_Cash ON tblRecPayCashTurn (CashID, IsOpen);
CREATE TABLE tblRecPayCashTurnUser (
  ID INTEGER PRIMARY KEY,
  CashTurnID INTEGER NOT NULL REFERENCES tblRecPayCashTurn(ID),
  UserID INTEGER NOT NULL REFERENCES tblUser(ID),
  UNIQUE (CashTurnID, UserID)
);
CREATE INDEX IX_CashTurnUser_User ON tblRecPayCashTurnUser (UserID);
CREATE TABLE tblRecPayCashTurnDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CashTurnID INTEGER NOT NULL REFERENCES tblRecPayCashTurn(ID),
  Code INT,
  TransactionDate DATETIME NOT NULL,
  FarsiTransactionDate VARCHAR(10) NOT NULL,
  Description VARCHAR(250),
  ReceivedValue MONEY NOT NULL DEFAULT 0,
  PayedValue MONEY NOT NULL DEFAULT 0,
  RelatedAccountID INTEGER REFERENCES tblAccount(ID),
  ContractID INTEGER REFERENCES tblAccountContractProject(ID),
  ClassID1 INT, ObjectID1 INT,
  ClassID2 INT, ObjectID2 INT,
  ClassID3 INT, ObjectID3 INT,
  BranchID INTEGER,
  AchieverID INTEGER,
  FormTypeID INT NOT NULL DEFAULT 206,
  FormID INT,
  CreateDate DATETIME,
  -- Set by the insert: the detail levels that complete the new receipt are
  -- part of its creation, not a change of it.
  LevelsPending INT
);
CREATE INDEX IX_CashTurnDetail_Turn ON tblRecPayCashTurnDetail (CashTurnID);
CREATE UNIQUE INDEX UX_CashTurnDetail_Code ON tblRecPayCashTurnDetail (FormTypeID, Code) WHERE Code IS NOT NULL;
CREATE INDEX IX_CashTurnDetail_Date ON tblRecPayCashTurnDetail (TransactionDate);
CREATE INDEX IX_CashTurnDetail_Account ON tblRecPayCashTurnDetail (RelatedAccountID);
CREATE INDEX IX_CashTurnDetail_Contract ON tblRecPayCashTurnDetail (ContractID);
CREATE INDEX IX_CashTurnDetail_Achiever ON tblRecPayCashTurnDetail (AchieverID);

-- Codes a receipt gave up when it went back to the draft state: it takes
-- its own code back when it is finally saved again, and no other receipt
-- is given one of them, so returns leave no gaps among the codes.
CREATE TABLE tblRecPayReleasedCode (
  ReceiptID INTEGER PRIMARY KEY REFERENCES tblRecPayCashTurnDetail(ID) ON DELETE CASCADE,
  FormTypeID INT NOT NULL,
  Code INT NOT NULL,
  UNIQUE (FormTypeID, Code)
);
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

-- The highest code ever given, per table and form type: a code once printed
-- on a receipt or a document is never given to another one, even after the
-- one that held it was deleted. Documents count under form type 0.
CREATE TABLE tblOmberLastCode (
  TableName VARCHAR(50) NOT NULL,
  FormTypeID INT NOT NULL,
  LastCode INT NOT NULL,
  PRIMARY KEY (TableName, FormTypeID)
);
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

-- What a finally registered receipt was before each change, and who
-- changed it: edits, returns to the draft state and deletions. Before and
-- After are the receipt's columns as JSON; rows outlive a deleted receipt.
-- The triggers that write it belong to each connection of the suite's own
-- programs (suite/Session.cpp), since they record the connection's user.
CREATE TABLE tblRecPayCashTurnDetailHistory (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ReceiptID INT NOT NULL,
  FormTypeID INT NOT NULL,
  Kind VARCHAR(10) NOT NULL,
  IsOpen INT NOT NULL DEFAULT 0,
  UserID INT,
  ChangedAt DATETIME NOT NULL,
  Before TEXT,
  After TEXT
);
CREATE INDEX IX_DetailHistory_Receipt ON tblRecPayCashTurnDetailHistory (ReceiptID, IsOpen);

-- Views the component reads ------------------------------------------------
CREATE VIEW vwRecPayCashTurnDetail AS
SELECT d.ID, d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description,
       d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID,
       d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3,
       d.BranchID, d.AchieverID, d.FormTypeID, d.FormID, d.CreateDate,
       t.CashID, t.Turn,
       -- The names a printed receipt shows (report templates read them).
       c.Name AS CashName, u.FullName AS OpenerUser,
       r.Code AS RelatedAccountCode, r.Title AS RelatedAccountTitle,
       coalesce((SELECT min(o.Name) FROM tblAccountRelatedObjects ro
                 JOIN tblOrganization o ON o.ID = ro.RelatedObjectID
                 WHERE ro.RelatedClassID = 7 AND ro.AccountID = d.RelatedAccountID),
                (SELECT min(o.Name) FROM tblOrganization o
                 WHERE (d.ClassID1 = 7 AND o.ID = d.ObjectID1) OR (d.ClassID2 = 7 AND o.ID = d.ObjectID2)
                    OR (d.ClassID3 = 7 AND o.ID = d.ObjectID3))) AS RelatedOrganization,
       ifnull(e.FirstName || ' ', '') || e.LastName AS AchieverName,
       b.Title AS BranchTitle, k.Code AS ContractCode, k.Title AS ContractTitle
FROM tblRecPayCashTurnDetail d
JOIN tblRecPayCashTurn t ON t.ID = d.CashTurnID
LEFT JOIN tblRecPayCash c ON c.ID = t.CashID
LEFT JOIN tblUser u ON u.ID = t.UserID
LEFT JOIN tblAccount r ON r.ID = d.RelatedAccountID
LEFT JOIN tblEmployee e ON e.ID = d.AchieverID
LEFT JOIN tblBranch b ON b.ID = d.BranchID
LEFT JOIN tblAccountContractProject k ON k.ID = d.ContractID;

CREATE VIEW vwRecPayCashTurnDetailSearch AS
SELECT d.ID, d.CashTurnID, t.Turn, t.CashID, c.Name AS CashDescription,
       t.UserID, u.FullName AS OpenerUser, d.Code,
       d.TransactionDate, d.FarsiTransactionDate, d.Description,
       d.ReceivedValue, d.PayedValue,
       c.AccountID, a.Title AS AccountTitle, a.Code AS AccountCode,
       d.RelatedAccountID, r.Title AS SecondAccountTitle, r.Code AS SecondAccountCode,
       d.ContractID, k.Title AS AccContractTitle, k.Code AS AccContractCode,
       d.AchieverID, d.BranchID
FROM tblRecPayCashTurnDetail d
JOIN tblRecPayCashTurn t ON t.ID = d.CashTurnID
JOIN tblRecPayCash c ON c.ID = t.CashID
LEFT JOIN tblUser u ON u.ID = t.UserID
LEFT JOIN tblAccount a ON a.ID = c.AccountID
LEFT JOIN tblAccount r ON r.ID = d.RelatedAccountID
LEFT JOIN tblAccountContractProject k ON k.ID = d.ContractID;

CREATE VIEW vwRPDCashTyrndetailSearch AS SELECT * FROM vwRecPayCashTurnDetailSearch;

CREATE VIEW vwRecPayCashUsers AS
SELECT c.ID, c.Name, c.AccountID, c.BranchID, c.IsActive, cu.UserID AS CashPermitUserID
FROM tblRecPayCashUsers cu
JOIN tblRecPayCash c ON c.ID = cu.CashID
WHERE c.IsActive = 1;

CREATE VIEW vwCashPermit AS
SELECT cu.ID, cu.CashID, c.Name AS CashName, cu.UserID, u.FullName
FROM tblRecPayCashUsers cu
JOIN tblRecPayCash c ON c.ID = cu.CashID
JOIN tblUser u ON u.ID = cu.UserID;

CREATE VIEW vwOmberBasePath AS SELECT ID, BasePath FROM tblOmberBasePath;

CREATE VIEW tblTilvaReportTemplates AS
SELECT ID, FormTypeID, Title, FilePath FROM tblOmberReportTemplate;

-- Selector views: the minor view gives ID, Code and Title for the list.
CREATE VIEW vwEmployee AS
SELECT e.ID, e.PersonnelCode AS Code, ifnull(e.FirstName || ' ', '') || e.LastName AS Title,
       e.FirstName, e.LastName, b.Title AS BranchTitle, e.IsActive
FROM tblEmployee e LEFT JOIN tblBranch b ON b.ID = e.BranchID;
CREATE VIEW vwEmployeeMinor AS
SELECT ID, PersonnelCode AS Code, ifnull(FirstName || ' ', '') || LastName AS Title
FROM tblEmployee WHERE IsActive = 1;

CREATE VIEW vwAccountBranchMajor AS SELECT ID, Code, Title FROM tblBranch;
CREATE VIEW vwAccountBranchMinor AS SELECT ID, Code, Title FROM tblBranch;

CREATE VIEW vwAccountContractProject AS
SELECT ID, Code, Title, CASE Kind WHEN 2 THEN 'پروژه' ELSE 'قرارداد' END AS KindTitle, IsActive
FROM tblAccountContractProject;
CREATE VIEW vwAccountContractProjectMinor AS
SELECT ID, Code, Title FROM tblAccountContractProject WHERE IsActive = 1;

CREATE VIEW vwUser AS
SELECT u.ID, u.UserName AS Code, u.FullName AS Title, b.Title AS BranchTitle, u.IsActive
FROM tblUser u LEFT JOIN tblBranch b ON b.ID = u.BranchID;
CREATE VIEW vwUserMinor AS
SELECT ID, UserName AS Code, FullName AS Title FROM tblUser WHERE IsActive = 1;

CREATE VIEW vwOrganization AS
SELECT ID, EconomicCode AS Code, Name AS Title, Address, Phone1 FROM tblOrganization;
CREATE VIEW vwOrganizationMinor AS
SELECT ID, EconomicCode AS Code, Name AS Title FROM tblOrganization;

CREATE VIEW vwRecPayCashMinor AS SELECT ID, CAST(ID AS TEXT) AS Code, Name AS Title FROM tblRecPayCash;

CREATE VIEW vwAccount AS
SELECT a.ID, a.Code, a.Title, a.ParentID, a.AccountLevel, a.IsDetail, a.IsActive, p.Title AS ParentTitle
FROM tblAccount a LEFT JOIN tblAccount p ON p.ID = a.ParentID;

CREATE VIEW vwFormChangeHistory AS
SELECT h.ID, h.FormTypeID, h.ReceiptID, CAST(h.ReceiptID AS TEXT) AS FormCode, h.Kind, h.UserID, u.FullName AS UserFullName,
       h.ChangedAt, h.Before, h.After
FROM tblRecPayCashTurnDetailHistory h LEFT JOIN tblUser u ON u.ID = h.UserID;

CREATE VIEW vwFormHistory AS
SELECT f.ID, f.EventID, f.FormCode, f.FormTypeID, f.Description, f.UserID, u.FullName AS UserFullName,
       f.EventDate, f.FarsiEventDate, f.EventTime
FROM tblOmberFormAction f LEFT JOIN tblUser u ON u.ID = f.UserID;
