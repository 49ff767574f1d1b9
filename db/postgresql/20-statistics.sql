-- What the description search compares, for the planner: without figures
-- for the folded text it takes a search that matches many receipts for one
-- that matches a few and joins them row by row to every turn (four times
-- slower on a hundred thousand receipts). Statistics on the expression
-- where the server has them (14 and later), an index on it before.
DO $$
BEGIN
  IF current_setting('server_version_num')::int >= 140000 THEN
    CREATE STATISTICS ST_CashTurnDetail_Description ON (pardex_fold(Description)) FROM tblRecPayCashTurnDetail;
  ELSE
    CREATE INDEX IX_CashTurnDetail_Description ON tblRecPayCashTurnDetail (pardex_fold(Description));
  END IF;
END
$$;
