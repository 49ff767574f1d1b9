#pragma once

#include <QObject>
#include <QStringList>

// Stands in for "PirelRpt.PirelRpt1": records every member the caller
// reaches, in order, and what the caller had shown and which pointer it
// showed when the report was asked for.
class RecordingPrinter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ReportFile READ ReportFile WRITE setReportFile)
    Q_PROPERTY(qint32 OutputTarget READ OutputTarget WRITE setOutputTarget)
    Q_PROPERTY(qint16 RunAction READ RunAction WRITE setRunAction)
    Q_PROPERTY(QString ConnectString READ ConnectString WRITE setConnectString)
    Q_PROPERTY(QString ReportQuery READ ReportQuery WRITE setReportQuery)

public:
    RecordingPrinter() { ++created; }

    QString ReportFile() const
    {
        log << QStringLiteral("get ReportFile");
        return m_file;
    }
    void setReportFile(const QString &v) { log << QStringLiteral("ReportFile=") + v, m_file = v; }
    qint32 OutputTarget() const { return m_target; }
    void setOutputTarget(qint32 v) { log << QStringLiteral("OutputTarget=%1").arg(v), m_target = v; }
    qint16 RunAction() const { return m_action; }
    void setRunAction(qint16 v);
    QString ConnectString() const { return m_connect; }
    void setConnectString(const QString &v) { log << QStringLiteral("ConnectString=") + v, m_connect = v; }
    QString ReportQuery() const { return m_query; }
    void setReportQuery(const QString &v) { log << QStringLiteral("ReportQuery=") + v, m_query = v; }

    // Registers the stand-in and forgets what earlier tests recorded.
    static void install();
    static inline QStringList log;
    static inline int created = 0;
    // Messages shown and the override cursor's shape (-1: none) at RunAction.
    static inline QStringList messagesAtRun;
    static inline int cursorAtRun = -1;

private:
    QString m_file, m_connect, m_query;
    qint32 m_target = -1;
    qint16 m_action = 0;
};
