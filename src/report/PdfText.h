#pragma once

#include <QByteArray>
#include <QString>

// Qt's PDF writer tells a reader which letters a glyph stands for by asking
// the font which code point maps to it, lowest first. A shaped Arabic or
// Persian letter (initial, medial, final form, or the lam-alef ligature) is
// reached only through its code in the presentation-form blocks, so a PDF
// viewer's search and copy give those codes (U+FEE3 for the م it printed)
// instead of the letters themselves. These functions write the letters
// back into the fonts' ToUnicode maps.
namespace PdfText {

// The PDF with every presentation form of its ToUnicode maps replaced by the
// letters it stands for (U+FEFB by U+0644 U+0627). A PDF laid out otherwise
// than Qt writes it (no plain cross-reference table, a compressed map)
// comes back unchanged.
QByteArray withPlainLetters(const QByteArray &pdf);

// The file rewritten so; false when it could not be read or written.
bool restorePlainLetters(const QString &path);

} // namespace PdfText
