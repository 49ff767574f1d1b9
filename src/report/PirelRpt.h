#pragma once

#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <memory>

class QPrinter;
class QWidget;
class QTextDocument;

// The suite's report printer "PirelRpt.PirelRpt1", reached by name. Writing
// 1 to RunAction runs ReportQuery on its own connection to ConnectString,
// fills the template ReportFile with the first row and produces the report
// on OutputTarget:
//   0  a print-preview window (zoom, page set-up, print, save as PDF)
//   1  the printer named by PrinterName (the default printer when empty)
//   2  a PDF file named by OutputFile
// A failure (unreadable template, unknown field, query error, no row, no
// printer) produces nothing and is told in Persian through ShowMessage,
// unless ShowErrors is off; ErrorText keeps it until the next run.
class PirelRpt : public QObject
{
    Q_OBJECT
    // The first five in the order callers of the suite know them.
    Q_PROPERTY(QString ReportFile READ ReportFile WRITE setReportFile)
    Q_PROPERTY(qint32 OutputTarget READ OutputTarget WRITE setOutputTarget)
    Q_PROPERTY(qint16 RunAction READ RunAction WRITE setRunAction)
    Q_PROPERTY(QString ConnectString READ ConnectString WRITE setConnectString)
    Q_PROPERTY(QString ReportQuery READ ReportQuery WRITE setReportQuery)
    Q_PROPERTY(QString OutputFile READ OutputFile WRITE setOutputFile)
    Q_PROPERTY(QString PrinterName READ PrinterName WRITE setPrinterName)
    Q_PROPERTY(bool ShowErrors READ ShowErrors WRITE setShowErrors)
    Q_PROPERTY(QString ErrorText READ ErrorText)

public:
    enum Target : qint32 { Preview = 0, Printer = 1, PdfFile = 2 };
    enum Action : qint16 { Produce = 1 };

    explicit PirelRpt(QObject *parent = nullptr);
    ~PirelRpt() override;

    QString ReportFile() const { return m_reportFile; }
    void setReportFile(const QString &path) { m_reportFile = path; }
    qint32 OutputTarget() const { return m_outputTarget; }
    void setOutputTarget(qint32 target) { m_outputTarget = target; }
    qint16 RunAction() const { return m_runAction; }
    // 1 produces the report; other values are kept and do nothing.
    void setRunAction(qint16 action);
    QString ConnectString() const { return m_connectString; }
    void setConnectString(const QString &text) { m_connectString = text; }
    QString ReportQuery() const { return m_reportQuery; }
    void setReportQuery(const QString &sql) { m_reportQuery = sql; }
    QString OutputFile() const { return m_outputFile; }
    void setOutputFile(const QString &path) { m_outputFile = path; }
    QString PrinterName() const { return m_printerName; }
    void setPrinterName(const QString &name) { m_printerName = name; }
    bool ShowErrors() const { return m_showErrors; }
    void setShowErrors(bool show) { m_showErrors = show; }
    QString ErrorText() const { return m_errorText; }

    // The document the last successful run produced (null before one).
    const QTextDocument *document() const { return m_document.get(); }

private:
    // Builds the filled document; raises ReportTemplate::Error.
    void buildDocument();
    void produce();
    // The paper, orientation and margins of the template on a printer.
    void setUp(QPrinter &printer) const;
    // Paints the document's pages; raises ReportTemplate::Error when the
    // printer cannot be painted on.
    void printTo(QPrinter &printer) const;
    // A PDF file of the document whose text reads back as plain letters.
    void writePdf(const QString &path) const;
    void preview(QPrinter &printer);
    void savePdf(QWidget *parent);
    void report(const QString &message);

    QString m_reportFile;
    qint32 m_outputTarget = Preview;
    qint16 m_runAction = 0;
    QString m_connectString;
    QString m_reportQuery;
    QString m_outputFile;
    QString m_printerName;
    bool m_showErrors = true;
    QString m_errorText;
    std::unique_ptr<QTextDocument> m_document;
    QString m_documentName; // the template's name and the row's ID
    QPageSize m_pageSize{QPageSize::A5};
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
};
