#pragma once

#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QVariant>
#include <QVector>

// Stands in for "Zintel.ZintelMSG" in tests: records every box shown and
// answers questions from a queue (Resualt 1 yes, 0 no, anything else for a
// box closed another way). An empty queue answers no.
class ScriptedMessageBox : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant FormTitle MEMBER m_title)
    Q_PROPERTY(QString FormMessage MEMBER m_message)
    Q_PROPERTY(qint16 FormType MEMBER m_type)
    Q_PROPERTY(qint32 FormBackColor MEMBER m_formBack)
    Q_PROPERTY(qint32 BtmBackColor MEMBER m_buttonBack)
    Q_PROPERTY(qint32 FrameBackColor MEMBER m_frameBack)
    Q_PROPERTY(qint16 Resualt MEMBER m_result)

public:
    struct Shown
    {
        QString title;
        QString message;
        qint16 type;
        qint32 formBack, buttonBack, frameBack;
    };

    Q_INVOKABLE void ClearShow();

    // Registers the scripted box under the suite's identifier and forgets
    // what earlier tests saw.
    static void install();
    static void uninstall();
    static void answer(qint16 resualt);
    static const QVector<Shown> &shown();
    static QStringList messages();
    static void clear();

private:
    QVariant m_title;
    QString m_message;
    qint16 m_type = -1;
    qint32 m_formBack = 0, m_buttonBack = 0, m_frameBack = 0;
    qint16 m_result = -1;
};
