#include "platform/Look.h"

#include <QFontDatabase>
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

void applyFormLook(QWidget *window)
{
    window->setLayoutDirection(Qt::RightToLeft);
    window->setFont(persianFont());
    // Where the keyboard is must show at a glance: a cashier types without
    // looking at the screen and then checks it.
    window->setStyleSheet(window->styleSheet()
                          + QStringLiteral("QLineEdit:focus { border: 2px solid #1f6fd1; border-radius: 3px; padding: 1px; }"
                                           "QPushButton:focus { border: 2px solid #1f6fd1; border-radius: 4px;"
                                           " padding: 3px 6px; background: #eaf2fd; }"));
}

} // namespace Look
