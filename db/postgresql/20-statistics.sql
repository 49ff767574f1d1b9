-- The description search on the server: the folded description of every
-- receipt is kept, by the server itself, in a trigram index (pg_trgm,
-- which ships with PostgreSQL and which a database owner may install), so
-- that a search for a word inside the descriptions reads the few receipts
-- that hold it instead of folding a million descriptions row by row. The
-- folding LIKE (00-functions.sql) is inlined into a LIKE on the folded
-- text, which the index serves; the index also gives the planner its
-- figures for the folded text. A server without pg_trgm gets a plain index
-- on the folded text: the figures, and searches that still read every row.
DO $$
BEGIN
  BEGIN
    CREATE EXTENSION IF NOT EXISTS pg_trgm;
  EXCEPTION WHEN OTHERS THEN
    RAISE NOTICE 'pg_trgm cannot be installed (%): the description search reads every receipt', SQLERRM;
  END;
  IF EXISTS (SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm') THEN
    CREATE INDEX IX_CashTurnDetail_Description ON tblRecPayCashTurnDetail
      USING gin (pardex_fold(Description) gin_trgm_ops);
  ELSE
    CREATE INDEX IX_CashTurnDetail_Description ON tblRecPayCashTurnDetail (pardex_fold(Description));
  END IF;
END
$$;
