#pragma once

#include <QString>

// Putting typed text into the component's SQL text without changing what
// it says: the statements are built by concatenation, so a quote must stay
// part of the text (sql::stringLiteral of suite/SqlLexer.h) and a LIKE
// wildcard the cashier typed must stay a plain character.
namespace SqlText {

// The LIKE operand that finds text anywhere in a value: '%text%', and when
// text holds %, _, [ or the escape character itself, those escaped and
// " ESCAPE '\'" after the closing quote (the same on every engine: SQL
// Server reads [ as a wildcard, SQLite does not, both read the escape).
QString likeContains(const QString &text);

// The first control character of the text (line breaks, tabs, NUL...) or a
// broken surrogate, which no column should receive; -1 when there is none.
// Zero-width joiners and the other format characters Persian text uses are
// not control characters.
qsizetype firstControlCharacter(const QString &text);

} // namespace SqlText
