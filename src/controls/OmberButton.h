#pragma once

#include <QColor>
#include <QPushButton>

// The suite's button: a caption and a border colour from the form's design.
class OmberButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)

public:
    explicit OmberButton(QWidget *parent = nullptr);
    explicit OmberButton(const QString &caption, QWidget *parent = nullptr);

    QColor BorderColor() const { return m_border; }
    void setBorderColor(const QColor &color);

private:
    void restyle();
    QColor m_border = QColor(0x7D, 0x59, 0x63);
};
