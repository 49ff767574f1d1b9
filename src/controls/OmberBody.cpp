#include "controls/OmberBody.h"

#include "platform/Look.h"

#include <QWidget>

QString OmberBody::styleSheet()
{
    return QStringLiteral(
        "QMainWindow, QDialog { background: #f4f1ea; }"
        "QGroupBox { background: #fbf9f4; border: 1px solid #cfc6b4; border-radius: 6px; margin-top: 14px;"
        " padding-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top right; right: 12px; padding: 0 4px;"
        " color: #5a4a2f; font-weight: bold; }"
        "QLineEdit, QComboBox { background: white; border: 1px solid #bdb4a2; border-radius: 3px; padding: 2px 4px;"
        " min-height: 20px; }"
        "QLineEdit:read-only { background: #f1eee7; color: #333; }"
        "QComboBox:disabled, QLineEdit:disabled { background: #f1eee7; color: #555; }"
        "QMenuBar { background: #ebe5d8; }"
        "QMenuBar::item:selected { background: #d9ceb6; }")
           + Look::focusStyle();
}

void OmberBody::ApplySkin(QWidget *window)
{
    if (!window)
        return;
    ++m_count;
    m_last = window;
    if (window->styleSheet() != styleSheet())
        window->setStyleSheet(styleSheet());
}
