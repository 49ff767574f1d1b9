#pragma once

#include <QString>

// Turns the T-SQL forms the component writes into PostgreSQL's: IsNull( ->
// coalesce(, Len( -> length(, getdate() -> localtimestamp, "Delete <table>
// Where" -> "DELETE FROM <table> Where", "+" in a chain of operands that
// holds a string literal -> "||", N'..' -> '..', a string literal as a
// column alias (As 'شماره') -> a quoted name keeping its text, [Name] ->
// Name, and LIKE -> the folding operator ~~~ of the suite's schema (ي, ى,
// ك, Persian and Arabic-Indic digits and Latin case matched as one, no
// escape character); a LIKE with an ESCAPE clause ("Description Like
// '%50\%%' ESCAPE '\'") folds both sides with the schema's pardex_fold and
// keeps the engine's own LIKE, which takes the escape. Literals, quoted
// names and comments are left alone.
QString tsqlToPostgres(const QString &tsql);
