-- The code a receipt's save stores, from the @Requested code the form
-- sends: -1 none (a draft); any other code but 0 as given; 0 the confirmed
-- code -- the receipt's own (@Existing), else the one it gave up when it
-- went back to the draft state, else the next: one past every code given
-- for the form type (held for drafts, and those of deleted receipts too).
-- Cashiers saving at the same moment get distinct, continuous codes: a
-- server queues those taking the next code until the saving transaction
-- ends (drafts and codes already held do not wait); the embedded engine's
-- writers queue on the file already.
-- NAME postgresql:pardex_code_to_store mssql:spRecPayCodeToStore sqlite:code-to-store
-- PARAMETERS @Requested int, @FormTypeID int, @ReceiptID int, @Existing int
-- RETURNS @Code int
-- POSTGRESQL PERFORM pg_advisory_xact_lock(1, @FormTypeID) WHERE coalesce(@Requested, 0) = 0 AND @Existing IS NULL
-- SQLSERVER IF ISNULL(@Requested, 0) = 0 AND @Existing IS NULL EXEC sp_getapplock @Resource = 'pardex-receipt-code', @LockMode = 'Exclusive', @LockOwner = 'Transaction'
SELECT CASE WHEN @Requested = -1 THEN NULL
            WHEN @Requested <> 0 THEN @Requested
            WHEN @Existing IS NOT NULL THEN @Existing
            ELSE ISNULL((SELECT Code FROM tblRecPayReleasedCode
                          WHERE ReceiptID = @ReceiptID AND FormTypeID = @FormTypeID),
                        (SELECT ISNULL(MAX(given.Code), 0) + 1
                           FROM (SELECT MAX(Code) AS Code FROM tblRecPayCashTurnDetail
                                  WHERE FormTypeID = @FormTypeID AND Code IS NOT NULL
                                 UNION ALL
                                 SELECT MAX(Code) FROM tblRecPayReleasedCode WHERE FormTypeID = @FormTypeID
                                 UNION ALL
                                 SELECT LastCode FROM tblOmberLastCode
                                  WHERE TableName = 'tblRecPayCashTurnDetail' AND FormTypeID = @FormTypeID) given))
       END
GO
