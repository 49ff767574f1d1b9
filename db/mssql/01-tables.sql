-- Tables and indexes of the suite database for SQL Server.
-- Create the database with a Persian collation so that text travelling
-- through the procedures' varchar parameters keeps its letters:
--   CREATE DATABASE Omber COLLATE Persian_100_CI_AI;
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;

-- Organisation -----------------------------------------------------------
CREATE TABLE tblBranch (
  ID INT NOT NULL PRIMARY KEY,
  Code NVARCHAR(20),
  Title NVARCHAR(100) NOT NULL
);
CREATE TABLE tblPosition (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(100) NOT NULL
);
CREATE TABLE tblEmployee (
  ID INT NOT NULL PRIMARY KEY,
  PersonnelCode NVARCHAR(20),
  FirstName NVARCHAR(50),
  LastName NVARCHAR(50) NOT NULL,
  BranchID INT REFERENCES tblBranch(ID),
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblUser (
  ID INT NOT NULL PRIMARY KEY,
  UserName NVARCHAR(50) NOT NULL UNIQUE,
  FullName NVARCHAR(100),
  BranchID INT REFERENCES tblBranch(ID),
  EmployeeID INT REFERENCES tblEmployee(ID),
  PositionID INT REFERENCES tblPosition(ID),
  IsActive INT NOT NULL DEFAULT 1
);

-- Rights and the action log ----------------------------------------------
CREATE TABLE tblOmberPermission (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(200) NOT NULL
);
CREATE TABLE tblOmberUserPermission (
  UserID INT NOT NULL REFERENCES tblUser(ID),
  PermissionID INT NOT NULL,
  PRIMARY KEY (UserID, PermissionID)
);
CREATE TABLE tblOmberFormAction (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  EventID INT NOT NULL,
  FormCode NVARCHAR(50),
  FormTypeID INT NOT NULL,
  Description NVARCHAR(1000),
  UserID INT,
  EventDate DATETIME,
  FarsiEventDate NVARCHAR(10),
  EventTime INT
);
CREATE INDEX IX_FormAction_Form ON tblOmberFormAction (FormTypeID, FormCode);

-- Settings -----------------------------------------------------------------
CREATE TABLE tblOmberSystemParameters (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(200),
  Value NVARCHAR(100)
);
CREATE TABLE tblOmberBasePath (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(100),
  BasePath NVARCHAR(400)
);
CREATE TABLE tblOmberReportTemplate (
  ID INT NOT NULL PRIMARY KEY,
  FormTypeID INT NOT NULL,
  Title NVARCHAR(200) NOT NULL,
  FilePath NVARCHAR(400) NOT NULL
);
CREATE INDEX IX_ReportTemplate_FormType ON tblOmberReportTemplate (FormTypeID);
CREATE TABLE tblOmberRelatedForms (
  ID INT NOT NULL PRIMARY KEY,
  RelatedFormTypeID INT NOT NULL,
  RelatedFormID INT,
  ReferenceFormTypeID INT NOT NULL,
  ReferenceFormID INT NOT NULL
);
CREATE INDEX IX_RelatedForms_Reference ON tblOmberRelatedForms (ReferenceFormTypeID, ReferenceFormID);
CREATE TABLE tblOmberObjectClass (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(100) NOT NULL,
  ViewMinor NVARCHAR(100),
  ViewMajor NVARCHAR(100)
);

-- Accounts -----------------------------------------------------------------
CREATE TABLE tblAccount (
  ID INT NOT NULL PRIMARY KEY,
  Code NVARCHAR(30) NOT NULL UNIQUE,
  Title NVARCHAR(200) NOT NULL,
  ParentID INT REFERENCES tblAccount(ID),
  AccountLevel INT NOT NULL DEFAULT 1,
  IsDetail INT NOT NULL DEFAULT 0,
  IsActive INT NOT NULL DEFAULT 1
);
CREATE INDEX IX_Account_Parent ON tblAccount (ParentID);
CREATE INDEX IX_Account_Title ON tblAccount (Title);
CREATE TABLE tblAccountDetailLevel (
  AccountID INT NOT NULL REFERENCES tblAccount(ID),
  LevelNo INT NOT NULL CHECK (LevelNo BETWEEN 1 AND 3),
  ClassID INT NOT NULL REFERENCES tblOmberObjectClass(ID),
  PRIMARY KEY (AccountID, LevelNo)
);
CREATE TABLE tblOrganization (
  ID INT NOT NULL PRIMARY KEY,
  Name NVARCHAR(200),
  Address NVARCHAR(400),
  Phone1 NVARCHAR(30),
  EconomicCode NVARCHAR(20)
);
CREATE TABLE tblAccountRelatedObjects (
  ID INT NOT NULL PRIMARY KEY,
  AccountID INT NOT NULL REFERENCES tblAccount(ID),
  RelatedClassID INT NOT NULL,
  RelatedObjectID INT NOT NULL
);
CREATE INDEX IX_AccountRelatedObjects_Account ON tblAccountRelatedObjects (AccountID, RelatedClassID);
CREATE TABLE tblAccountContractProject (
  ID INT NOT NULL PRIMARY KEY,
  Code NVARCHAR(30),
  Title NVARCHAR(200) NOT NULL,
  Kind INT NOT NULL DEFAULT 1,
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblAccountPeriod (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(100),
  IsActive INT NOT NULL DEFAULT 0,
  BeginDate DATETIME,
  EndDate DATETIME,
  FarsiBeginDate NVARCHAR(10) NOT NULL,
  FarsiEndDate NVARCHAR(10) NOT NULL
);
CREATE TABLE tblUserAccountPeriod (
  ID INT NOT NULL PRIMARY KEY,
  AccountPeriodID INT NOT NULL REFERENCES tblAccountPeriod(ID),
  UserID INT NOT NULL REFERENCES tblUser(ID)
);
CREATE INDEX IX_UserAccountPeriod_User ON tblUserAccountPeriod (UserID);

-- Accounting documents ------------------------------------------------------
CREATE TABLE tblAccountDocument (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  Code INT,
  CreatorID INT,
  CreateDate DATETIME,
  FarsiCreateDate NVARCHAR(10),
  DocumentDate DATETIME,
  FarsiDocumentDate NVARCHAR(10),
  Value MONEY,
  Description NVARCHAR(4000)
);
CREATE TABLE tblAccountDocumentDetail (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  DocumentID INT NOT NULL REFERENCES tblAccountDocument(ID),
  RowNumber INT NOT NULL,
  AccountID INT NOT NULL REFERENCES tblAccount(ID),
  TransactionDate DATETIME,
  FarsiTransactionDate NVARCHAR(10),
  Description NVARCHAR(500),
  DocumentTypeID INT,
  AdditionalFormID NVARCHAR(20),
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
  ID INT NOT NULL PRIMARY KEY,
  DocumentID INT NOT NULL REFERENCES tblAccountDocument(ID) ON DELETE CASCADE,
  RowNumber INT NOT NULL,
  Sequence INT NOT NULL,
  ClassID INT NOT NULL,
  ObjectID INT NOT NULL
);
CREATE INDEX IX_DocumentObjects_Document ON tblAccountDocumentObjects (DocumentID);

-- Inventory (read for the user's primary store) --------------------------
CREATE TABLE tblInventory (
  ID INT NOT NULL PRIMARY KEY,
  Title NVARCHAR(100) NOT NULL
);
CREATE TABLE tblInventoryUser (
  ID INT NOT NULL PRIMARY KEY,
  InventoryID INT NOT NULL REFERENCES tblInventory(ID),
  UserID INT NOT NULL REFERENCES tblUser(ID),
  IsPrimary INT NOT NULL DEFAULT 0
);
CREATE INDEX IX_InventoryUser_User ON tblInventoryUser (UserID, IsPrimary);

-- Cash boxes, turns and receipts --------------------------------------------
CREATE TABLE tblRecPayCash (
  ID INT NOT NULL PRIMARY KEY,
  Name NVARCHAR(100) NOT NULL,
  AccountID INT REFERENCES tblAccount(ID),
  BranchID INT REFERENCES tblBranch(ID),
  IsActive INT NOT NULL DEFAULT 1
);
CREATE TABLE tblRecPayCashUsers (
  ID INT NOT NULL PRIMARY KEY,
  CashID INT NOT NULL REFERENCES tblRecPayCash(ID),
  UserID INT NOT NULL REFERENCES tblUser(ID),
  UNIQUE (CashID, UserID)
);
CREATE INDEX IX_RecPayCashUsers_User ON tblRecPayCashUsers (UserID);
CREATE TABLE tblRecPayCashTurn (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  CashID INT NOT NULL REFERENCES tblRecPayCash(ID),
  Turn INT NOT NULL,
  UserID INT NOT NULL REFERENCES tblUser(ID),
  IsOpen INT,
  OpenDate DATETIME,
  FarsiOpenDate NVARCHAR(10),
  CloseDate DATETIME,
  FarsiCloseDate NVARCHAR(10),
  UNIQUE (CashID, Turn)
);
CREATE INDEX IX_CashTurn_User ON tblRecPayCashTurn (UserID, IsOpen);
CREATE INDEX IX_CashTurn_Cash ON tblRecPayCashTurn (CashID, IsOpen);
CREATE TABLE tblRecPayCashTurnUser (
  ID INT NOT NULL PRIMARY KEY,
  CashTurnID INT NOT NULL REFERENCES tblRecPayCashTurn(ID),
  UserID INT NOT NULL REFERENCES tblUser(ID),
  UNIQUE (CashTurnID, UserID)
);
CREATE INDEX IX_CashTurnUser_User ON tblRecPayCashTurnUser (UserID);
CREATE TABLE tblRecPayCashTurnDetail (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  CashTurnID INT NOT NULL REFERENCES tblRecPayCashTurn(ID),
  Code INT,
  TransactionDate DATETIME NOT NULL,
  FarsiTransactionDate NVARCHAR(10) NOT NULL,
  Description NVARCHAR(250),
  ReceivedValue MONEY NOT NULL DEFAULT 0,
  PayedValue MONEY NOT NULL DEFAULT 0,
  RelatedAccountID INT REFERENCES tblAccount(ID),
  ContractID INT REFERENCES tblAccountContractProject(ID),
  ClassID1 INT, ObjectID1 INT,
  ClassID2 INT, ObjectID2 INT,
  ClassID3 INT, ObjectID3 INT,
  BranchID INT,
  AchieverID INT,
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
-- is given one of them (filled by a trigger in 04-triggers.sql).
CREATE TABLE tblRecPayReleasedCode (
  ReceiptID INT NOT NULL PRIMARY KEY REFERENCES tblRecPayCashTurnDetail(ID) ON DELETE CASCADE,
  FormTypeID INT NOT NULL,
  Code INT NOT NULL,
  UNIQUE (FormTypeID, Code)
);

-- The highest code ever given, per table and form type: a code once printed
-- on a receipt or a document is never given to another one, even after the
-- one that held it was deleted. Documents count under form type 0.
CREATE TABLE tblOmberLastCode (
  TableName VARCHAR(50) NOT NULL,
  FormTypeID INT NOT NULL,
  LastCode INT NOT NULL,
  PRIMARY KEY (TableName, FormTypeID)
);

-- What a finally registered receipt was before each change, and who made
-- it (the user the component names in SESSION_CONTEXT(N'PardexUser')).
CREATE TABLE tblRecPayCashTurnDetailHistory (
  ID INT IDENTITY(1,1) NOT NULL PRIMARY KEY,
  ReceiptID INT NOT NULL,
  FormTypeID INT NOT NULL,
  Kind VARCHAR(10) NOT NULL,
  IsOpen INT NOT NULL DEFAULT 0,
  UserID INT,
  ChangedAt DATETIME NOT NULL,
  Before NVARCHAR(MAX),
  After NVARCHAR(MAX)
);
CREATE INDEX IX_DetailHistory_Receipt ON tblRecPayCashTurnDetailHistory (ReceiptID, IsOpen);

