-- The description search on the server: the folded description of every
-- receipt is stored, kept by the server itself with the description, and
-- held in a trigram index (pg_trgm, which ships with PostgreSQL and which a
-- database owner may install), so that a search for a word inside the
-- descriptions reads the few receipts that hold it, and one for a common
-- word compares stored texts instead of folding a million descriptions row
-- by row. The data environment writes the search's description criterion
-- as a LIKE on this column (data/TsqlToPostgres.cpp). A server without
-- pg_trgm gets a plain index on it: the planner's figures, and searches
-- that still read every row.
ALTER TABLE tblRecPayCashTurnDetail
  ADD COLUMN DescriptionFolded text GENERATED ALWAYS AS (pardex_fold(Description)) STORED;
DO $$
BEGIN
  BEGIN
    CREATE EXTENSION IF NOT EXISTS pg_trgm;
  EXCEPTION WHEN OTHERS THEN
    RAISE NOTICE 'pg_trgm cannot be installed (%): the description search reads every receipt', SQLERRM;
  END;
  IF EXISTS (SELECT 1 FROM pg_extension WHERE extname = 'pg_trgm') THEN
    CREATE INDEX IX_CashTurnDetail_Description ON tblRecPayCashTurnDetail
      USING gin (DescriptionFolded gin_trgm_ops);
  ELSE
    CREATE INDEX IX_CashTurnDetail_Description ON tblRecPayCashTurnDetail (DescriptionFolded);
  END IF;
END
$$;
