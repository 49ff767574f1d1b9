#pragma once

#include <QString>

// Turns the T-SQL forms the component writes into SQLite's: IsNull( ->
// ifnull(, getdate() -> the local date and time, "Delete <table> Where" ->
// "DELETE FROM <table> Where", "+" in a chain of operands that holds a string
// literal -> "||", N'..' -> '..', Len( -> length(. Everything inside string
// literals, quoted names and comments is left alone.
QString tsqlToSqlite(const QString &tsql);
