#include "controls/OmberButton.h"

OmberButton::OmberButton(QWidget *parent) : QPushButton(parent)
{
    restyle();
}

OmberButton::OmberButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    restyle();
}

void OmberButton::setBorderColor(const QColor &color)
{
    m_border = color;
    restyle();
}

void OmberButton::restyle()
{
    setStyleSheet(QStringLiteral(
                      "OmberButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfaf7, stop:1 #e7e2d8);"
                      " border: 1px solid %1; border-radius: 4px; padding: 2px 4px; color: #2b2b2b; }"
                      "OmberButton:hover { background: #fff6e0; }"
                      "OmberButton:pressed { background: #e9dcc0; }"
                      "OmberButton:focus { border: 2px solid %1; }"
                      "OmberButton:disabled { color: #9a9a9a; background: #efede8; border-color: #c9c4ba; }")
                      .arg(m_border.name()));
}
