#pragma once

#include <QObject>
#include <QVariant>
#include <functional>

class QWidget;

// The suite's message box "Zintel.ZintelMSG": set the title, text, type and
// colours, call ClearShow, read Resualt (1 yes, 0 no; -1 when the box was
// closed any other way).
class ZintelMsgBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant FormTitle MEMBER m_title)
    Q_PROPERTY(QString FormMessage MEMBER m_message)
    Q_PROPERTY(qint16 FormType MEMBER m_type)
    Q_PROPERTY(qint32 FormBackColor MEMBER m_formBackColor)
    Q_PROPERTY(qint32 BtmBackColor MEMBER m_buttonBackColor)
    Q_PROPERTY(qint32 FrameBackColor MEMBER m_frameBackColor)
    Q_PROPERTY(qint16 Resualt READ Resualt)

public:
    explicit ZintelMsgBox(QObject *parent = nullptr);

    // Shows the box modally; returns when the user closes it.
    Q_INVOKABLE void ClearShow();
    qint16 Resualt() const { return m_result; }

    // Where no one can answer (screens rendered without a display), a box is
    // laid out, handed to the hook and closed unanswered (Resualt -1), so
    // nothing waits for a click that cannot come. An empty hook ends it.
    using UnattendedHook = std::function<void(QWidget *box, const QString &title, const QString &message)>;
    static void setUnattended(UnattendedHook hook);

private:
    QVariant m_title;
    QString m_message;
    qint16 m_type = 0;
    qint32 m_formBackColor = 12893912;
    qint32 m_buttonBackColor = 6510973;
    qint32 m_frameBackColor = 14408673;
    qint16 m_result = -1;
};
