#pragma once

#include <QString>

// Qt's rich text lays table cells out left to right whatever the direction.
// A Persian report wants its first cell at the right, so each row's cells
// are written in the mirrored order (rowspans and colspans keep their
// places), nested tables too. A table marked dir="ltr" keeps its order.
// Cells must be closed (</td>, </th>) for their extent to be known.
QString rightToLeftTables(const QString &html);
