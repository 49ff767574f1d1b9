-- The search view offers the receipts' stored folded description
-- (20-statistics.sql) as its last column, DescriptionFolded, so that the
-- description criterion is a condition on the receipt rows the view
-- already reads: the planner takes it to the trigram index, or filters the
-- turn's few rows with it, with no second look-up of each receipt. The
-- view's text stays the one of views.sql; this only adds the column after
-- the others.
DO $$
DECLARE
  definition text := pg_get_viewdef('vwRecPayCashTurnDetailSearch'::regclass);
  extended text := regexp_replace(definition, '\n(\s*)FROM\s', E',\n    d.DescriptionFolded\n\\1FROM ');
BEGIN
  IF extended = definition THEN
    RAISE EXCEPTION 'the search view''s select list was not found: %', definition;
  END IF;
  EXECUTE 'CREATE OR REPLACE VIEW vwRecPayCashTurnDetailSearch AS ' || extended;
END
$$;
