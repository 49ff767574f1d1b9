#pragma once

#include <QtGlobal>

class QLineEdit;

// How amounts and receipt numbers are typed, shared by every box that
// takes them (the receipt form's amount, the search form's amount and
// number ranges): the forms attach these to their boxes' key events.
namespace AmountEntry {

// Key filter: backspace, "/" and the digits are accepted; any other typed
// character's code becomes 0, which discards it. Pasted text is not
// filtered: the regrouping reads it, Persian digits included.
void filterKey(qint16 &keyAscii);

// Regrouping on a key release: the text becomes the amount it reads as
// (0 when it reads as none), grouped by threes with "/", and the caret
// keeps its place among the digits (never before the start). A number too
// large for an amount reads as 0, as everywhere else.
void regroup(QLineEdit *box);

// Whether the text reads as a number beyond the range of an amount (which
// ParseAmount reads as 0): pasted text that no key release regrouped yet.
bool tooLarge(const QString &text);

} // namespace AmountEntry
