-- Views of the suite database for PostgreSQL: the same columns as the
-- embedded database's. Their column names come back in lower case; the
-- component finds fields without regard to case.

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
       coalesce(e.FirstName || ' ', '') || e.LastName AS AchieverName,
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
SELECT e.ID, e.PersonnelCode AS Code, coalesce(e.FirstName || ' ', '') || e.LastName AS Title,
       e.FirstName, e.LastName, b.Title AS BranchTitle, e.IsActive
FROM tblEmployee e LEFT JOIN tblBranch b ON b.ID = e.BranchID;
CREATE VIEW vwEmployeeMinor AS
SELECT ID, PersonnelCode AS Code, coalesce(FirstName || ' ', '') || LastName AS Title
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

CREATE VIEW vwRecPayCashMinor AS SELECT ID, CAST(ID AS text) AS Code, Name AS Title FROM tblRecPayCash;

CREATE VIEW vwAccount AS
SELECT a.ID, a.Code, a.Title, a.ParentID, a.AccountLevel, a.IsDetail, a.IsActive, p.Title AS ParentTitle
FROM tblAccount a LEFT JOIN tblAccount p ON p.ID = a.ParentID;

CREATE VIEW vwFormChangeHistory AS
SELECT h.ID, h.FormTypeID, h.ReceiptID, CAST(h.ReceiptID AS text) AS FormCode, h.Kind, h.UserID, u.FullName AS UserFullName,
       h.ChangedAt, h.Before, h.After
FROM tblRecPayCashTurnDetailHistory h LEFT JOIN tblUser u ON u.ID = h.UserID;

CREATE VIEW vwFormHistory AS
SELECT f.ID, f.EventID, f.FormCode, f.FormTypeID, f.Description, f.UserID, u.FullName AS UserFullName,
       f.EventDate, f.FarsiEventDate, f.EventTime
FROM tblOmberFormAction f LEFT JOIN tblUser u ON u.ID = f.UserID;
