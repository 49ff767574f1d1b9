#include "data/SqlText.h"

#include "suite/SqlLexer.h"

namespace SqlText {

QString likeContains(const QString &text)
{
    constexpr QChar Escape = u'\\';
    QString pattern;
    pattern.reserve(text.size() + 8);
    bool escaped = false;
    for (QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'[' || c == Escape) {
            pattern += Escape;
            escaped = true;
        }
        pattern += c;
    }
    QString operand = sql::stringLiteral(QString(u'%' + pattern + u'%'));
    if (escaped)
        operand += QStringLiteral(" ESCAPE '\\'");
    return operand;
}

qsizetype firstControlCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.category() == QChar::Other_Control)
            return i;
        if (c.isHighSurrogate() && (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()))
            return i;
        if (c.isLowSurrogate() && (i == 0 || !text.at(i - 1).isHighSurrogate()))
            return i;
    }
    return -1;
}

} // namespace SqlText
