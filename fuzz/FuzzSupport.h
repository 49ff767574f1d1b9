#pragma once

// What every fuzz target shares: the input as text and a check that stops
// the run with the input's property that did not hold.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                                          \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "property failed: %s\n  %s\n", #condition, qPrintable(QString(what)));      \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

namespace fuzz {

// The bytes as UTF-8 text (malformed sequences become U+FFFD, as a
// QLineEdit or a database driver would hand them over).
inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Splits an input at the first byte 0 into two texts, so that one input
// can carry a template and its values, or a value and its separator.
inline void split(const uint8_t *data, size_t size, QString &first, QString &second)
{
    size_t cut = 0;
    while (cut < size && data[cut] != 0)
        ++cut;
    first = text(data, cut);
    second = cut < size ? text(data + cut + 1, size - cut - 1) : QString();
}

// Shown in a failure: printable, with the characters' codes beyond ASCII.
inline QString shown(const QString &s)
{
    QString out;
    for (QChar c : s) {
        if (c.unicode() >= 32 && c.unicode() < 127)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

} // namespace fuzz
