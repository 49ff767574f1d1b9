-- The views of the suite database, in the T-SQL the component speaks: the
-- one text every engine's views come from. SQL Server runs it as it is;
-- the data environment's rewriters turn it into SQLite's and PostgreSQL's
-- SQL when the schema is generated. Write only what the rewriters know
-- (ISNULL, "+" joining texts, N'' literals); a view ends at its GO line.
-- On PostgreSQL the column names come back in lower case; the component
-- finds fields without regard to case.

-- Views the component reads ------------------------------------------------
CREATE VIEW vwRecPayCashTurnDetail AS
SELECT d.ID, d.CashTurnID, d.Code, d.TransactionDate, d.FarsiTransactionDate, d.Description,
       d.ReceivedValue, d.PayedValue, d.RelatedAccountID, d.ContractID,
       d.ClassID1, d.ObjectID1, d.ClassID2, d.ObjectID2, d.ClassID3, d.ObjectID3,
       d.BranchID, d.AchieverID, d.FormTypeID, d.FormID, d.CreateDate, d.ChangeCount, d.HeldBy,
       t.CashID, t.Turn,
       -- The names a printed receipt shows (report templates read them).
       c.Name AS CashName, u.FullName AS OpenerUser,
       r.Code AS RelatedAccountCode, r.Title AS RelatedAccountTitle,
       COALESCE((SELECT MIN(o.Name) FROM tblAccountRelatedObjects ro
                 JOIN tblOrganization o ON o.ID = ro.RelatedObjectID
                 WHERE ro.RelatedClassID = 7 AND ro.AccountID = d.RelatedAccountID),
                (SELECT MIN(o.Name) FROM tblOrganization o
                 WHERE (d.ClassID1 = 7 AND o.ID = d.ObjectID1) OR (d.ClassID2 = 7 AND o.ID = d.ObjectID2)
                    OR (d.ClassID3 = 7 AND o.ID = d.ObjectID3))) AS RelatedOrganization,
       CASE WHEN e.FirstName IS NULL THEN e.LastName ELSE e.FirstName + N' ' + e.LastName END AS AchieverName,
       b.Title AS BranchTitle, k.Code AS ContractCode, k.Title AS ContractTitle
FROM tblRecPayCashTurnDetail d
JOIN tblRecPayCashTurn t ON t.ID = d.CashTurnID
LEFT JOIN tblRecPayCash c ON c.ID = t.CashID
LEFT JOIN tblUser u ON u.ID = t.UserID
LEFT JOIN tblAccount r ON r.ID = d.RelatedAccountID
LEFT JOIN tblEmployee e ON e.ID = d.AchieverID
LEFT JOIN tblBranch b ON b.ID = d.BranchID
LEFT JOIN tblAccountContractProject k ON k.ID = d.ContractID;
GO
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
GO
CREATE VIEW vwRPDCashTyrndetailSearch AS SELECT * FROM vwRecPayCashTurnDetailSearch;
GO
CREATE VIEW vwRecPayCashUsers AS
SELECT c.ID, c.Name, c.AccountID, c.BranchID, c.IsActive, cu.UserID AS CashPermitUserID
FROM tblRecPayCashUsers cu
JOIN tblRecPayCash c ON c.ID = cu.CashID
WHERE c.IsActive = 1;
GO
CREATE VIEW vwCashPermit AS
SELECT cu.ID, cu.CashID, c.Name AS CashName, c.IsActive AS CashIsActive, cu.UserID, u.FullName
FROM tblRecPayCashUsers cu
JOIN tblRecPayCash c ON c.ID = cu.CashID
JOIN tblUser u ON u.ID = cu.UserID;
GO
CREATE VIEW vwOmberBasePath AS SELECT ID, BasePath FROM tblOmberBasePath;
GO
CREATE VIEW tblTilvaReportTemplates AS
SELECT ID, FormTypeID, Title, FilePath FROM tblOmberReportTemplate;
GO
CREATE VIEW vwEmployee AS
SELECT e.ID, e.PersonnelCode AS Code, CASE WHEN e.FirstName IS NULL THEN e.LastName ELSE e.FirstName + N' ' + e.LastName END AS Title,
       e.FirstName, e.LastName, b.Title AS BranchTitle, e.IsActive
FROM tblEmployee e LEFT JOIN tblBranch b ON b.ID = e.BranchID;
GO
CREATE VIEW vwEmployeeMinor AS
SELECT ID, PersonnelCode AS Code, CASE WHEN FirstName IS NULL THEN LastName ELSE FirstName + N' ' + LastName END AS Title
FROM tblEmployee WHERE IsActive = 1;
GO
CREATE VIEW vwAccountBranchMajor AS SELECT ID, Code, Title FROM tblBranch;
GO
CREATE VIEW vwAccountBranchMinor AS SELECT ID, Code, Title FROM tblBranch;
GO
CREATE VIEW vwAccountContractProject AS
SELECT ID, Code, Title, CASE Kind WHEN 2 THEN N'پروژه' ELSE N'قرارداد' END AS KindTitle, IsActive
FROM tblAccountContractProject;
GO
CREATE VIEW vwAccountContractProjectMinor AS
SELECT ID, Code, Title FROM tblAccountContractProject WHERE IsActive = 1;
GO
CREATE VIEW vwUser AS
SELECT u.ID, u.UserName AS Code, u.FullName AS Title, b.Title AS BranchTitle, u.IsActive
FROM tblUser u LEFT JOIN tblBranch b ON b.ID = u.BranchID;
GO
CREATE VIEW vwUserMinor AS
SELECT ID, UserName AS Code, FullName AS Title FROM tblUser WHERE IsActive = 1;
GO
CREATE VIEW vwOrganization AS
SELECT ID, EconomicCode AS Code, Name AS Title, Address, Phone1 FROM tblOrganization;
GO
CREATE VIEW vwOrganizationMinor AS
SELECT ID, EconomicCode AS Code, Name AS Title FROM tblOrganization;
GO
CREATE VIEW vwRecPayCashMinor AS SELECT ID, CAST(ID AS VARCHAR(20)) AS Code, Name AS Title FROM tblRecPayCash;
GO
CREATE VIEW vwAccount AS
SELECT a.ID, a.Code, a.Title, a.ParentID, a.AccountLevel, a.IsDetail, a.IsActive, p.Title AS ParentTitle
FROM tblAccount a LEFT JOIN tblAccount p ON p.ID = a.ParentID;
GO
CREATE VIEW vwFormHistory AS
SELECT f.ID, f.EventID, f.FormCode, f.FormTypeID, f.Description, f.UserID, u.FullName AS UserFullName,
       f.EventDate, f.FarsiEventDate, f.EventTime
FROM tblOmberFormAction f LEFT JOIN tblUser u ON u.ID = f.UserID;
GO

CREATE VIEW vwFormChangeHistory AS
SELECT h.ID, h.FormTypeID, h.ReceiptID, CAST(h.ReceiptID AS VARCHAR(20)) AS FormCode, h.Kind, h.UserID, u.FullName AS UserFullName,
       h.ChangedAt, h.Before, h.After
FROM tblRecPayCashTurnDetailHistory h LEFT JOIN tblUser u ON u.ID = h.UserID;
GO
