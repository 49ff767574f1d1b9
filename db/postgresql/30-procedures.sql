-- The nine stored procedures for PostgreSQL, as functions with the same
-- parameters in the same order. In/out parameters come back as the result
-- row's columns, in order, followed by the return value (return_value).
-- Each call is one statement, so one transaction: it is whole or not at all.
-- What they share with the other engines (the code to store, removing a
-- receipt's documents) is generated from db/rules (25-*.sql).

CREATE FUNCTION pardex_delete_receipt(p_id integer, p_formtypeid integer) RETURNS void LANGUAGE plpgsql AS $$
DECLARE
  v_blocking integer;
BEGIN
  PERFORM 1 FROM tblRecPayCashTurnDetail WHERE ID = p_id FOR UPDATE;
  SELECT RelatedFormTypeID INTO v_blocking FROM tblOmberRelatedForms
   WHERE ReferenceFormTypeID = p_formtypeid AND ReferenceFormID = p_id AND RelatedFormTypeID <> 901
   LIMIT 1;
  IF v_blocking IS NOT NULL THEN
    RAISE EXCEPTION 'رديف % در فرمي از نوع % به كار رفته است و حذف نمي شود.', p_id, v_blocking;
  END IF;
  PERFORM pardex_remove_documents(p_id, p_formtypeid);
  DELETE FROM tblRecPayCashTurnDetail WHERE ID = p_id;
END $$;

-- An account or contract of 0 or less, as the data environment sends for
-- "none", is stored as NULL.
CREATE FUNCTION pardex_optional_id(p_id integer) RETURNS integer LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN p_id > 0 THEN p_id END
$$;

CREATE FUNCTION spRecPayInsertCashTurnDetail(
  INOUT p_id integer, p_cashturnid integer, INOUT p_code integer, p_transactiondate timestamp,
  p_farsitransactiondate varchar, p_description varchar, p_received numeric, p_payed numeric,
  p_relatedaccountid integer, p_contractid integer, p_formtypeid integer, p_formid integer,
  OUT return_value integer) LANGUAGE plpgsql AS $$
DECLARE
  v_type integer := coalesce(p_formtypeid, 206);
  v_code integer;
BEGIN
  IF NOT EXISTS (SELECT 1 FROM tblRecPayCashTurn WHERE ID = p_cashturnid) THEN
    RAISE EXCEPTION 'نوبت صندوق شماره % وجود ندارد.', coalesce(p_cashturnid, 0);
  END IF;
  v_code := pardex_code_to_store(coalesce(p_code, 0), v_type, NULL, NULL);
  -- The detail levels the form writes next complete the creation.
  INSERT INTO tblRecPayCashTurnDetail (CashTurnID, Code, TransactionDate, FarsiTransactionDate, Description,
    ReceivedValue, PayedValue, RelatedAccountID, ContractID, FormTypeID, FormID, CreateDate, LevelsPending)
  VALUES (p_cashturnid, v_code, p_transactiondate, p_farsitransactiondate, p_description, coalesce(p_received, 0),
    coalesce(p_payed, 0), pardex_optional_id(p_relatedaccountid), pardex_optional_id(p_contractid), v_type, p_formid,
    localtimestamp, 1)
  RETURNING ID INTO p_id;
  p_code := coalesce(v_code, coalesce(p_code, 0));
  return_value := 0;
END $$;

CREATE FUNCTION spRecPayUpdateCashTurnDetail(
  p_id integer, p_cashturnid integer, INOUT p_code integer, p_transactiondate timestamp,
  p_farsitransactiondate varchar, p_description varchar, p_received numeric, p_payed numeric,
  p_relatedaccountid integer, p_contractid integer, OUT return_value integer) LANGUAGE plpgsql AS $$
DECLARE
  v_old integer;
  v_type integer;
  v_code integer;
BEGIN
  SELECT Code, FormTypeID INTO v_old, v_type FROM tblRecPayCashTurnDetail WHERE ID = p_id FOR UPDATE;
  IF v_type IS NULL THEN
    RAISE EXCEPTION 'دريافت/پرداخت شماره % وجود ندارد.', coalesce(p_id, 0);
  END IF;
  v_code := pardex_code_to_store(coalesce(p_code, 0), v_type, p_id, v_old);
  UPDATE tblRecPayCashTurnDetail SET CashTurnID = p_cashturnid, Code = v_code, TransactionDate = p_transactiondate,
    FarsiTransactionDate = p_farsitransactiondate, Description = p_description,
    ReceivedValue = coalesce(p_received, 0), PayedValue = coalesce(p_payed, 0),
    RelatedAccountID = pardex_optional_id(p_relatedaccountid), ContractID = pardex_optional_id(p_contractid),
    -- A draft becoming final is like its creation: the detail levels the
    -- form writes next are part of it, as are those of a new receipt whose
    -- save this call completes.
    LevelsPending = CASE WHEN (v_old IS NULL AND v_code IS NOT NULL) OR LevelsPending = 1 THEN 1 END
  WHERE ID = p_id;
  -- A receipt kept as a draft has no document; a final one keeps its
  -- document until the document step writes the one that replaces it.
  IF v_code IS NULL THEN
    PERFORM pardex_remove_documents(p_id, v_type);
  END IF;
  p_code := coalesce(v_code, coalesce(p_code, 0));
  return_value := 0;
END $$;

CREATE FUNCTION spRecPayGeneralUpdateCashTurnDetail(
  p_id integer, p_formtypeid integer, p_description varchar, p_received numeric, p_payed numeric,
  p_relatedaccountid integer, p_contractid integer, OUT return_value integer) LANGUAGE plpgsql AS $$
DECLARE
  v_type integer;
BEGIN
  SELECT FormTypeID INTO v_type FROM tblRecPayCashTurnDetail WHERE ID = p_id FOR UPDATE;
  IF v_type IS NULL THEN
    RAISE EXCEPTION 'دريافت/پرداخت شماره % وجود ندارد.', coalesce(p_id, 0);
  END IF;
  UPDATE tblRecPayCashTurnDetail SET Description = p_description, ReceivedValue = coalesce(p_received, 0),
    PayedValue = coalesce(p_payed, 0), RelatedAccountID = pardex_optional_id(p_relatedaccountid),
    ContractID = pardex_optional_id(p_contractid)
  WHERE ID = p_id;
  -- The document stays until the document step writes its replacement.
  return_value := 0;
END $$;

CREATE FUNCTION spRecPayDeleteCashTurnDetail(p_id integer, OUT return_value integer) LANGUAGE plpgsql AS $$
DECLARE
  v_type integer;
BEGIN
  SELECT FormTypeID INTO v_type FROM tblRecPayCashTurnDetail WHERE ID = p_id;
  IF v_type IS NOT NULL THEN
    PERFORM pardex_delete_receipt(p_id, v_type);
  END IF;
  return_value := 0;
END $$;

CREATE FUNCTION spRecPayGeneralDeleteCashTurnDetail(p_id integer, p_formtypeid integer, OUT return_value integer)
  LANGUAGE plpgsql AS $$
DECLARE
  v_type integer;
BEGIN
  SELECT FormTypeID INTO v_type FROM tblRecPayCashTurnDetail WHERE ID = p_id;
  IF v_type IS NOT NULL THEN
    PERFORM pardex_delete_receipt(p_id, coalesce(p_formtypeid, v_type));
  END IF;
  return_value := 0;
END $$;

CREATE FUNCTION spOmberHasPermission(p_userid integer, p_formpermissionid integer, OUT return_value integer)
  LANGUAGE sql STABLE AS $$
  SELECT CASE WHEN EXISTS (SELECT 1 FROM tblOmberUserPermission
                            WHERE UserID = p_userid AND PermissionID = p_formpermissionid) THEN 1 ELSE 0 END
$$;

CREATE FUNCTION spAccountInsertDocument(
  INOUT p_id integer, INOUT p_code integer, p_creatorid integer, p_createdate timestamp, p_farsicreatedate varchar,
  p_documentdate timestamp, p_farsidocumentdate varchar, p_value numeric, p_description varchar,
  OUT return_value integer) LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_advisory_xact_lock(2, 0);
  -- A number once given is never given again, even after its document went.
  SELECT greatest(coalesce(max(Code), 0),
                  coalesce((SELECT LastCode FROM tblOmberLastCode
                             WHERE TableName = 'tblAccountDocument' AND FormTypeID = 0), 0)) + 1
    INTO p_code FROM tblAccountDocument;
  INSERT INTO tblAccountDocument (Code, CreatorID, CreateDate, FarsiCreateDate, DocumentDate, FarsiDocumentDate,
    Value, Description)
  VALUES (p_code, p_creatorid, p_createdate, p_farsicreatedate, p_documentdate, p_farsidocumentdate,
    coalesce(p_value, 0), p_description)
  RETURNING ID INTO p_id;
  return_value := 0;
END $$;

CREATE FUNCTION spAccountInsertDocumentDetail(
  p_docid integer, p_rownumber integer, p_accountid integer, p_transactiondate timestamp,
  p_farsitransactiondate varchar, p_description varchar, p_documenttypeid integer, p_additionalformid varchar,
  p_contractid integer, p_positionid integer, p_debitvalue numeric, p_creditvalue numeric, p_formid integer,
  p_formtypeid integer, OUT return_value integer) LANGUAGE plpgsql AS $$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM tblAccountDocument WHERE ID = p_docid) THEN
    RAISE EXCEPTION 'سند حسابداري شماره % وجود ندارد.', coalesce(p_docid, 0);
  END IF;
  IF coalesce(p_accountid, 0) <= 0 THEN
    RAISE EXCEPTION 'حساب رديف % سند مشخص نشده است.', coalesce(p_rownumber, 0);
  END IF;
  IF NOT EXISTS (SELECT 1 FROM tblAccount WHERE ID = p_accountid) THEN
    RAISE EXCEPTION 'حساب شماره % وجود ندارد.', p_accountid;
  END IF;
  -- Rows of a receipt written into a new document leave any other one.
  IF p_formtypeid = 206 AND p_formid > 0 THEN
    PERFORM pardex_remove_documents(p_formid, 206, p_docid);
  END IF;
  INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, TransactionDate, FarsiTransactionDate,
    Description, DocumentTypeID, AdditionalFormID, ContractID, PositionID, DebitValue, CreditValue, FormID, FormTypeID)
  VALUES (p_docid, p_rownumber, p_accountid, p_transactiondate, p_farsitransactiondate, p_description,
    p_documenttypeid, p_additionalformid, p_contractid, p_positionid, coalesce(p_debitvalue, 0),
    coalesce(p_creditvalue, 0), p_formid, p_formtypeid);
  return_value := 0;
END $$;

CREATE FUNCTION spOmberInsertFormAction(
  p_eventid integer, p_formcode varchar, p_formtypeid integer, p_description varchar, p_userid integer,
  p_eventdate timestamp, p_farsieventdate varchar, p_eventtime integer, OUT return_value integer)
  LANGUAGE plpgsql AS $$
BEGIN
  INSERT INTO tblOmberFormAction (EventID, FormCode, FormTypeID, Description, UserID, EventDate, FarsiEventDate,
    EventTime)
  VALUES (p_eventid, p_formcode, p_formtypeid, p_description, p_userid, p_eventdate, p_farsieventdate, p_eventtime);
  return_value := 0;
END $$;
