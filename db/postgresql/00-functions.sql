-- What only PostgreSQL needs before the tables: the helpers the
-- component's statements use on this engine. The files of a database run
-- in the order of their names, the generated ones (tables, views, the
-- sibling components' columns) among them; pardex-db init does so in a
-- database created with UTF8 encoding. Unquoted names fold to lower case
-- here: the component's T-SQL names them in any case and finds them.

-- The description search: LIKE that takes ي and ى for ی, ك for ک, Persian
-- and Arabic-Indic digits for Latin ones and Latin letters in either case,
-- with no escape character, as on the embedded database. The data
-- environment writes the component's LIKE as the operator ~~~, so the
-- clause text stays as the form built it.
CREATE FUNCTION pardex_fold(t text) RETURNS text
  LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
  AS $$ SELECT translate(lower(t), 'يىك۰۱۲۳۴۵۶۷۸۹٠١٢٣٤٥٦٧٨٩', 'ییک01234567890123456789') $$;
CREATE FUNCTION pardex_like(t text, pattern text) RETURNS boolean
  LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE
  AS $$ SELECT pardex_fold(t) LIKE pardex_fold(pattern) ESCAPE '' $$;
CREATE OPERATOR ~~~ (LEFTARG = text, RIGHTARG = text, FUNCTION = pardex_like);
