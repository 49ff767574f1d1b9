#pragma once

#include "core/Currency.h"

#include <QDate>
#include <QString>
#include <QVariant>

class QObject;

// The ten shared functions every form uses.

// A message to acknowledge, through the suite's message-box component
// "Zintel.ZintelMSG". Never raises; nothing is shown when the component is
// missing.
void ShowMessage(const QVariant &title, const QString &message);
// A yes/no question: 6 yes, 7 no, 0 when no answer was obtained.
qint16 AskQuestion(const QVariant &title, const QString &message);
// Re-creates the data environment and points it at the context's
// connection string. Errors reach the caller.
void OpenConnection();
// Digits grouped by threes from the right: 1234567 -> 1/234/567.
QString FormatThousands(const QString &digits, const QString &separator);
// Separators removed, the leading number read as currency; 0 when there is
// none or it does not fit.
Currency ParseAmount(const QString &text, const QString &separator);
// -1 (16-bit) for blank text, 1 (16-bit) for "True", else the leading
// number of the text with every "/" removed, as a double.
QVariant ToNumber(const QString &text);
// The server's date (no time of day); the client's date when there is no
// connection string or the query fails.
QDate GetServerDate();
// Adds the deltas (twips) to a control's width, left and height, through
// its generic geometry. Errors are ignored.
void MoveControlBy(QObject *control, float widthDelta, float leftDelta, float heightDelta);
// FullName of tblUser, or an empty text.
QString GetUserFullName(qint32 userId);
// Whether a Persian date lies in an active accounting period of the user;
// shows a message when it does not.
bool IsDateInUserPeriod(const QString &farsiDate, qint32 userId);

// Layout units of the forms: twips, 15 to a pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
int twipsToPixels(double twips);
int pixelsToTwips(int pixels);
