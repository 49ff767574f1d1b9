-- A receipt never has two accounting documents: what was written for it
-- before goes when the document step writes the next one, when it is kept
-- as a draft and when it is deleted. Only its own rows go: a document that
-- other forms share keeps theirs and its header, whose value becomes the
-- debits left; a document of the receipt alone goes whole, its rows and
-- objects with it (they cascade). @ExceptDocument is the one being written.
--
-- Written once, in T-SQL; every engine runs these statements: SQL Server
-- as the procedure below, PostgreSQL as the function, the embedded engine
-- from its C++ procedures (suite/Procedures.cpp).
-- NAME postgresql:pardex_remove_documents mssql:spRecPayRemoveDocuments sqlite:remove-documents
-- PARAMETERS @FormID int, @FormTypeID int, @ExceptDocument int = NULL
-- Two writers of the same receipt's documents queue on the server, and so
-- do two forms taking their rows out of one shared document.
-- POSTGRESQL PERFORM pg_advisory_xact_lock(3, coalesce(@FormID, 0)); PERFORM 1 FROM tblAccountDocument WHERE ID IN (SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = @FormID AND FormTypeID = @FormTypeID) ORDER BY ID FOR UPDATE
UPDATE tblAccountDocument
   SET Value = (SELECT SUM(d.DebitValue) FROM tblAccountDocumentDetail d
                 WHERE d.DocumentID = tblAccountDocument.ID
                   AND NOT (ISNULL(d.FormID, 0) = @FormID AND ISNULL(d.FormTypeID, 0) = @FormTypeID))
 WHERE ID IN (SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = @FormID AND FormTypeID = @FormTypeID)
   AND (@ExceptDocument IS NULL OR ID <> @ExceptDocument)
   AND EXISTS (SELECT 1 FROM tblAccountDocumentDetail d
                WHERE d.DocumentID = tblAccountDocument.ID
                  AND NOT (ISNULL(d.FormID, 0) = @FormID AND ISNULL(d.FormTypeID, 0) = @FormTypeID))
GO
DELETE FROM tblAccountDocument
 WHERE ID IN (SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = @FormID AND FormTypeID = @FormTypeID)
   AND (@ExceptDocument IS NULL OR ID <> @ExceptDocument)
   AND NOT EXISTS (SELECT 1 FROM tblAccountDocumentDetail d
                    WHERE d.DocumentID = tblAccountDocument.ID
                      AND NOT (ISNULL(d.FormID, 0) = @FormID AND ISNULL(d.FormTypeID, 0) = @FormTypeID))
GO
DELETE FROM tblAccountDocumentDetail
 WHERE FormID = @FormID AND FormTypeID = @FormTypeID
   AND (@ExceptDocument IS NULL OR DocumentID <> @ExceptDocument)
GO
