#include "controls/AmountEntry.h"

#include "common/SharedServices.h"
#include "core/Vb.h"
#include "core/VbError.h"

#include <QLineEdit>

namespace AmountEntry {

void filterKey(qint16 &keyAscii)
{
    if (keyAscii == 8 || (keyAscii >= 47 && keyAscii <= 57))
        return;
    keyAscii = 0;
}

bool tooLarge(const QString &text)
{
    QString plain = text;
    plain.remove(u'/');
    const QString number = Vb::leadingNumberText(plain);
    if (number.isEmpty())
        return false;
    try {
        Currency::fromDecimalText(number);
        return false;
    } catch (const VbError &) {
        return true;
    }
}

void regroup(QLineEdit *box)
{
    // A number beyond an amount's range reads as 0, as the shared
    // conversion reads it, and the box shows so at once.
    const QString separator = QStringLiteral("/");
    const qint16 caret = qint16(box->cursorPosition());
    const int oldLength = int(box->text().size());
    const QString grouped = FormatThousands(ParseAmount(box->text(), separator).toString(), separator);
    // The same text again changes nothing, and keeps what the user selected.
    if (grouped == box->text())
        return;
    box->setText(grouped);
    const int newLength = int(grouped.size());
    int place = caret;
    if (newLength < oldLength) {
        // A separator went away: the caret steps back with it, unless the box
        // put it at the very start.
        if (box->cursorPosition() > 0)
            place = caret - 1;
    } else if (newLength > oldLength) {
        place = caret + 1;
    }
    box->setCursorPosition(qBound(0, place, newLength));
}

} // namespace AmountEntry
