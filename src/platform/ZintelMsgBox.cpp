#include "platform/ZintelMsgBox.h"

#include "core/Vb.h"
#include "platform/Look.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Escape on a question answers no; on a message it closes the box.
class BoxDialog : public QDialog
{
public:
    using QDialog::QDialog;
    bool question = false;
    qint16 *result = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && question) {
            *result = 0;
            accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }
};

QString buttonStyle(const QColor &back)
{
    return QStringLiteral("QPushButton { background: %1; color: white; border: 1px solid %2; border-radius: 3px;"
                          " padding: 4px 18px; min-width: 64px; }"
                          "QPushButton:focus { border: 2px solid #f0c36d; }"
                          "QPushButton:hover { background: %3; }")
        .arg(back.name(), back.darker(130).name(), back.lighter(120).name());
}

} // namespace

namespace {
ZintelMsgBox::UnattendedHook g_unattended;
}

ZintelMsgBox::ZintelMsgBox(QObject *parent) : QObject(parent) {}

void ZintelMsgBox::setUnattended(UnattendedHook hook)
{
    g_unattended = std::move(hook);
}

void ZintelMsgBox::ClearShow()
{
    m_result = -1;
    const bool question = m_type == 1;

    BoxDialog dialog(QApplication::activeWindow());
    dialog.question = question;
    dialog.result = &m_result;
    dialog.setObjectName(QStringLiteral("ZintelMsgBox"));
    dialog.setWindowTitle(Vb::textOf(m_title));
    Look::applyFormLook(&dialog);
    // A question must be answered: no close box that would leave it open.
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (!question)
        flags |= Qt::WindowCloseButtonHint;
    dialog.setWindowFlags(flags);
    dialog.setAutoFillBackground(true);
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, Look::fromOle(m_formBackColor));
    dialog.setPalette(palette);

    auto *frame = new QFrame(&dialog);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setStyleSheet(QStringLiteral("QFrame#frame { background: %1; border: 1px solid %2; border-radius: 4px; }")
                             .arg(Look::fromOle(m_frameBackColor).name(), Look::fromOle(m_buttonBackColor).name()));
    auto *icon = new QLabel(frame);
    icon->setPixmap(dialog.style()
                        ->standardIcon(question ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxInformation)
                        .pixmap(32, 32));
    auto *text = new QLabel(m_message, frame);
    text->setObjectName(QStringLiteral("message"));
    text->setWordWrap(true);
    text->setMinimumWidth(280);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(14, 14, 14, 14);
    frameLayout->setSpacing(12);
    frameLayout->addWidget(icon, 0, Qt::AlignTop);
    frameLayout->addWidget(text, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const QString style = buttonStyle(Look::fromOle(m_buttonBackColor));
    auto addButton = [&](const QString &caption, const char *name, qint16 value) {
        auto *b = new QPushButton(caption, &dialog);
        b->setObjectName(QLatin1String(name));
        b->setStyleSheet(style);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, this, value] {
            m_result = value;
            dialog.accept();
        });
        buttons->addWidget(b);
        return b;
    };
    if (question) {
        QPushButton *yes = addButton(QStringLiteral("بله"), "cmdYes", 1);
        addButton(QStringLiteral("خير"), "cmdNo", 0);
        yes->setDefault(true);
        yes->setFocus();
    } else {
        QPushButton *ok = addButton(QStringLiteral("تاييد"), "cmdOk", 1);
        ok->setDefault(true);
        ok->setFocus();
    }
    buttons->addStretch();

    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    if (g_unattended) {
        dialog.adjustSize();
        dialog.ensurePolished();
        g_unattended(&dialog, Vb::textOf(m_title), m_message);
        return;
    }
    dialog.exec();
}
