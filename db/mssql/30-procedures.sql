-- The nine stored procedures for SQL Server, with the contracts of the
-- embedded database's C++ implementations: each is one transaction. What
-- they share with the other engines (the code to store, removing a
-- receipt's documents) is generated from db/rules (25-*.sql).
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO
CREATE PROCEDURE spRecPayInsertCashTurnDetail
  @ID int OUTPUT, @CashTurnID int, @Code int OUTPUT, @TransactionDate datetime,
  @FarsiTransactionDate varchar(10), @Description varchar(250), @Received money, @Payed money,
  @RelatedAccountID int, @ContractID int, @FormTypeID int, @FormID int
AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  BEGIN TRAN;
  IF NOT EXISTS (SELECT 1 FROM tblRecPayCashTurn WHERE ID = @CashTurnID)
  BEGIN
    ROLLBACK; RAISERROR(N'نوبت صندوق شماره %d وجود ندارد.', 16, 1, @CashTurnID); RETURN 1;
  END
  DECLARE @NewCode int, @Type int = ISNULL(@FormTypeID, 206);
  EXEC spRecPayCodeToStore @Code, @Type, NULL, NULL, @NewCode OUTPUT;
  -- The detail levels the form writes next complete the creation.
  INSERT INTO tblRecPayCashTurnDetail (CashTurnID, Code, TransactionDate, FarsiTransactionDate, Description,
    ReceivedValue, PayedValue, RelatedAccountID, ContractID, FormTypeID, FormID, CreateDate, LevelsPending)
  VALUES (@CashTurnID, @NewCode, @TransactionDate, @FarsiTransactionDate, @Description, ISNULL(@Received, 0),
    ISNULL(@Payed, 0), CASE WHEN @RelatedAccountID > 0 THEN @RelatedAccountID END,
    CASE WHEN @ContractID > 0 THEN @ContractID END, @Type, @FormID, GETDATE(), 1);
  SET @ID = SCOPE_IDENTITY();
  IF @NewCode IS NOT NULL SET @Code = @NewCode;
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spRecPayUpdateCashTurnDetail
  @ID int, @CashTurnID int, @Code int OUTPUT, @TransactionDate datetime, @FarsiTransactionDate varchar(10),
  @Description varchar(250), @Received money, @Payed money, @RelatedAccountID int, @ContractID int
AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  BEGIN TRAN;
  DECLARE @OldCode int, @FormTypeID int;
  SELECT @OldCode = Code, @FormTypeID = FormTypeID FROM tblRecPayCashTurnDetail WITH (UPDLOCK) WHERE ID = @ID;
  IF @FormTypeID IS NULL
  BEGIN
    ROLLBACK; RAISERROR(N'دريافت/پرداخت شماره %d وجود ندارد.', 16, 1, @ID); RETURN 1;
  END
  DECLARE @NewCode int;
  EXEC spRecPayCodeToStore @Code, @FormTypeID, @ID, @OldCode, @NewCode OUTPUT;
  UPDATE tblRecPayCashTurnDetail SET CashTurnID = @CashTurnID, Code = @NewCode, TransactionDate = @TransactionDate,
    FarsiTransactionDate = @FarsiTransactionDate, Description = @Description, ReceivedValue = ISNULL(@Received, 0),
    PayedValue = ISNULL(@Payed, 0), RelatedAccountID = CASE WHEN @RelatedAccountID > 0 THEN @RelatedAccountID END,
    ContractID = CASE WHEN @ContractID > 0 THEN @ContractID END,
    -- A draft becoming final: the levels written next belong to this step.
    LevelsPending = CASE WHEN (@OldCode IS NULL AND @NewCode IS NOT NULL) OR LevelsPending = 1 THEN 1 END
  WHERE ID = @ID;
  -- A receipt kept as a draft has no document; a final one keeps its
  -- document until the document step writes the one that replaces it.
  IF @NewCode IS NULL EXEC spRecPayRemoveDocuments @ID, @FormTypeID;
  IF @NewCode IS NOT NULL SET @Code = @NewCode;
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spRecPayGeneralUpdateCashTurnDetail
  @ID int, @FormTypeID int, @Description varchar(250), @Received money, @Payed money,
  @RelatedAccountID int, @ContractID int
AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  BEGIN TRAN;
  IF NOT EXISTS (SELECT 1 FROM tblRecPayCashTurnDetail WHERE ID = @ID)
  BEGIN
    ROLLBACK; RAISERROR(N'دريافت/پرداخت شماره %d وجود ندارد.', 16, 1, @ID); RETURN 1;
  END
  UPDATE tblRecPayCashTurnDetail SET Description = @Description, ReceivedValue = ISNULL(@Received, 0),
    PayedValue = ISNULL(@Payed, 0), RelatedAccountID = CASE WHEN @RelatedAccountID > 0 THEN @RelatedAccountID END,
    ContractID = CASE WHEN @ContractID > 0 THEN @ContractID END
  WHERE ID = @ID;
  -- The document stays until the document step writes its replacement.
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spRecPayDeleteReceipt @ID int, @FormTypeID int AS
BEGIN
  SET NOCOUNT ON;
  DECLARE @Blocking int;
  SELECT TOP 1 @Blocking = RelatedFormTypeID FROM tblOmberRelatedForms
   WHERE ReferenceFormTypeID = @FormTypeID AND ReferenceFormID = @ID AND RelatedFormTypeID <> 901;
  IF @Blocking IS NOT NULL
  BEGIN
    RAISERROR(N'رديف %d در فرمي از نوع %d به كار رفته است و حذف نمي شود.', 16, 1, @ID, @Blocking);
    RETURN 1;
  END
  EXEC spRecPayRemoveDocuments @ID, @FormTypeID;
  DELETE FROM tblRecPayCashTurnDetail WHERE ID = @ID;
  RETURN 0;
END
GO
CREATE PROCEDURE spRecPayDeleteCashTurnDetail @ID int AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  DECLARE @FormTypeID int = (SELECT FormTypeID FROM tblRecPayCashTurnDetail WHERE ID = @ID);
  IF @FormTypeID IS NULL RETURN 0;
  BEGIN TRAN;
  DECLARE @r int;
  EXEC @r = spRecPayDeleteReceipt @ID, @FormTypeID;
  IF @r <> 0 BEGIN ROLLBACK; RETURN @r; END
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spRecPayGeneralDeleteCashTurnDetail @ID int, @FormTypeID int AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  IF NOT EXISTS (SELECT 1 FROM tblRecPayCashTurnDetail WHERE ID = @ID) RETURN 0;
  BEGIN TRAN;
  DECLARE @r int;
  EXEC @r = spRecPayDeleteReceipt @ID, @FormTypeID;
  IF @r <> 0 BEGIN ROLLBACK; RETURN @r; END
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spOmberHasPermission @UserID int, @FormPermissionID int AS
BEGIN
  SET NOCOUNT ON;
  IF EXISTS (SELECT 1 FROM tblOmberUserPermission WHERE UserID = @UserID AND PermissionID = @FormPermissionID)
    RETURN 1;
  RETURN 0;
END
GO
CREATE PROCEDURE spAccountInsertDocument
  @ID int OUTPUT, @Code int OUTPUT, @CreatorID int, @CreateDate datetime, @FarsiCreateDate varchar(10),
  @DocumentDate datetime, @FarsiDocumentDate varchar(10), @Value money, @Description varchar(4000)
AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  BEGIN TRAN;
  -- A number once given is never given again, even after its document went.
  DECLARE @Last int;
  SELECT @Last = ISNULL(MAX(LastCode), 0) FROM tblOmberLastCode WITH (UPDLOCK, HOLDLOCK)
   WHERE TableName = 'tblAccountDocument' AND FormTypeID = 0;
  SELECT @Code = ISNULL(MAX(Code), 0) FROM tblAccountDocument WITH (UPDLOCK, HOLDLOCK);
  IF @Last > @Code SET @Code = @Last;
  SET @Code = @Code + 1;
  INSERT INTO tblAccountDocument (Code, CreatorID, CreateDate, FarsiCreateDate, DocumentDate, FarsiDocumentDate,
    Value, Description)
  VALUES (@Code, @CreatorID, @CreateDate, @FarsiCreateDate, @DocumentDate, @FarsiDocumentDate, @Value, @Description);
  SET @ID = SCOPE_IDENTITY();
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spAccountInsertDocumentDetail
  @DocID int, @RowNumber int, @AccountID int, @TransactionDate datetime, @FarsiTransactionDate varchar(10),
  @Description varchar(500), @DocumentTypeID int, @AdditionalFormID varchar(20), @ContractID int,
  @PositionID int, @DebitValue money, @CreditValue money, @FormID int, @FormTypeID int
AS
BEGIN
  SET NOCOUNT ON; SET XACT_ABORT ON;
  IF NOT EXISTS (SELECT 1 FROM tblAccountDocument WHERE ID = @DocID)
  BEGIN RAISERROR(N'سند حسابداري شماره %d وجود ندارد.', 16, 1, @DocID); RETURN 1; END
  IF ISNULL(@AccountID, 0) <= 0
  BEGIN RAISERROR(N'حساب رديف %d سند مشخص نشده است.', 16, 1, @RowNumber); RETURN 1; END
  -- Rows of a receipt written into a new document leave any other one.
  BEGIN TRAN;
  IF @FormTypeID = 206 AND @FormID > 0
    EXEC spRecPayRemoveDocuments @FormID, @FormTypeID, @DocID;
  INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, TransactionDate, FarsiTransactionDate,
    Description, DocumentTypeID, AdditionalFormID, ContractID, PositionID, DebitValue, CreditValue, FormID, FormTypeID)
  VALUES (@DocID, @RowNumber, @AccountID, @TransactionDate, @FarsiTransactionDate, @Description, @DocumentTypeID,
    @AdditionalFormID, @ContractID, @PositionID, ISNULL(@DebitValue, 0), ISNULL(@CreditValue, 0), @FormID,
    @FormTypeID);
  COMMIT;
  RETURN 0;
END
GO
CREATE PROCEDURE spOmberInsertFormAction
  @EventID int, @FormCode varchar(50), @FormTypeID int, @Description varchar(1000), @UserID int,
  @EventDate datetime, @FarsiEventDate varchar(10), @EventTime int
AS
BEGIN
  SET NOCOUNT ON;
  INSERT INTO tblOmberFormAction (EventID, FormCode, FormTypeID, Description, UserID, EventDate, FarsiEventDate,
    EventTime)
  VALUES (@EventID, @FormCode, @FormTypeID, @Description, @UserID, @EventDate, @FarsiEventDate, @EventTime);
  RETURN 0;
END
GO
