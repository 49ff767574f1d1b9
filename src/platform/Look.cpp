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

} // namespace Look
