#include "platform/Look.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

namespace Look {

QFont persianFont(int pointSize)
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &f : {QStringLiteral("Noto Sans Arabic"), QStringLiteral("Vazirmatn"), QStringLiteral("Tahoma"),
                                 QStringLiteral("Nazli"), QStringLiteral("DejaVu Sans")})
            if (installed.contains(f))
                return f;
        return QString();
    }();
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPointSize(pointSize);
    return font;
}

QColor fromOle(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString focusStyle()
{
    // Where the keyboard is must show at a glance: a cashier types without
    // looking at the screen and then checks it.
    return QStringLiteral("QLineEdit:focus, QComboBox:focus { border: 2px solid #1f6fd1; border-radius: 3px; }"
                          "QPushButton:focus { border: 2px solid #1f6fd1; border-radius: 4px; background: #eaf2fd; }");
}

void applyFormLook(QWidget *window)
{
    window->setLayoutDirection(Qt::RightToLeft);
    window->setFont(persianFont());
    window->setStyleSheet(window->styleSheet() + focusStyle());
}

void fitCaptions(QWidget *window)
{
    // A form placed control by control keeps its design sizes; a caption
    // wider than its control (the fonts a system has differ from the
    // design's) is drawn a little smaller rather than cut.
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QString text;
        int room = w->width();
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            text = button->text();
            room -= 14; // frame and padding
        } else if (auto *label = qobject_cast<QLabel *>(w); label && !label->wordWrap()) {
            text = label->text();
            room -= 2 * label->margin() + 2;
        }
        if (text.isEmpty() || w->parentWidget()->layout())
            continue;
        QFont font = w->font();
        while (QFontMetrics(font).horizontalAdvance(text) > room && font.pointSizeF() > 7) {
            font.setPointSizeF(font.pointSizeF() - 0.5);
            w->setFont(font);
        }
    }
}

} // namespace Look
