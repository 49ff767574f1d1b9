#include "report/frmReport.h"

#include "ui_frmReport.h"

#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/ProgIds.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "platform/Look.h"
#include "suite/Identifiers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QWindow>

QString TemplateFilePath;

namespace {
frmReport *g_instance = nullptr;
} // namespace

frmReport &frmReport::instance()
{
    if (!g_instance)
        g_instance = new frmReport;
    return *g_instance;
}

bool frmReport::hasInstance()
{
    return g_instance != nullptr;
}

void frmReport::destroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

frmReport::frmReport() : ui(std::make_unique<Ui::frmReport>())
{
    ui->setupUi(this);
    Look::applyFormLook(this);
    Look::fitCaptions(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ui->cmdPrint, &QPushButton::clicked, this, [this] { runHandler([this] { cmdPrint_Click(); }); });
    connect(ui->cmdOk, &QPushButton::clicked, this, [this] { runHandler([this] { cmdOk_Click(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { runHandler([this] { cmdExit_Click(); }); });
}

frmReport::~frmReport()
{
    if (g_instance == this)
        g_instance = nullptr;
}

void frmReport::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runHandler([this] { Form_Activate(); });
}

void frmReport::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Shown again while the window system still counts it the focused
    // window, it gets no activation of its own.
    if (windowHandle() && windowHandle() == QGuiApplication::focusWindow())
        runHandler([this] { Form_Activate(); });
}

void frmReport::Form_Activate()
{
    // An activation that arrives after the dialog was unloaded fills nothing.
    if (isVisible())
        FillTemplateForm(ids::FormCashReceipt);
}

void frmReport::FillTemplateForm(qint16 inFormTypeID)
{
    Module::dtEn().rssqlOmberTemplate.Query(
        QStringLiteral("Select * from tblOmberReportTemplate where FormTypeID = ") + QString::number(inFormTypeID),
        [this](Recordset &rs) {
            for (; !rs.Eof(); rs.MoveNext()) {
                const qint32 id = Vb::clng(rs.Fields(QStringLiteral("ID")));
                const QString title = Vb::textOf(rs.Fields(QStringLiteral("Title")));
                // Activated again (after a message, say), the list does not repeat itself.
                const int existing = ui->cmbReport->findData(id);
                if (existing >= 0)
                    ui->cmbReport->setItemText(existing, title);
                else
                    ui->cmbReport->addItem(title, id);
            }
        });
    if (ui->cmbReport->count() > 0)
        ui->cmbReport->setCurrentIndex(0);
}

void frmReport::cmdPrint_Click()
{
    if (ui->cmbReport->currentIndex() == -1) {
        ignoreErrors([this] { ui->cmbReport->setFocus(); });
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("قالب گزارش مشخص نيست."));
        return;
    }

    DtEn &dtEn = Module::dtEn();
    Recordset &templates = dtEn.rssqlOmberTemplate;
    if (templates.State() != 0)
        templates.Close();
    templates.Open(QStringLiteral("Select * From tblOmberReportTemplate Where ID = ")
                   + QString::number(Vb::clng(ui->cmbReport->currentData())));
    if (templates.RecordCount() < 1)
        return; // the row is gone; the list shows what is left to choose

    Recordset &basePaths = dtEn.rssqlOmberBasePath;
    // The general handle is closed however this ends (a file-system object
    // that cannot be made, say): left open, it would fail the next save's
    // period check, which opens it without closing it first.
    const auto closeBasePaths = qScopeGuard([&basePaths] {
        ignoreErrors([&basePaths] {
            if (basePaths.State() != 0)
                basePaths.Close();
        });
    });
    if (basePaths.State() != 0)
        basePaths.Close();
    basePaths.Open(QStringLiteral("Select * From vwOmberBasePath Order By ID "));
    const int count = basePaths.RecordCount();
    if (count < 1) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("در پايگاه داده مسير چاپ مشخص نشده است."));
        templates.Close();
        return;
    }

    const QString filePath = Vb::textOf(templates.Fields(QStringLiteral("FilePath")));
    std::unique_ptr<QObject> fileSystem = ComponentRegistry::create(progids::FileSystem);
    basePaths.MoveFirst();
    for (int i = 0; i < count; ++i) {
        TemplateFilePath = Vb::textOf(basePaths.Fields(QStringLiteral("BasePath"))) + filePath;
        if (LateBound::call(fileSystem.get(), "FileExists", {TemplateFilePath}).toBool()) {
            Unload();
            break;
        }
        TemplateFilePath.clear();
        basePaths.MoveNext();
    }
    basePaths.Close();

    if (TemplateFilePath.isEmpty())
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("در هيچ يك از مسيرهاي مشخص شده در پايگاه داده فايل الگوي چاپ وجود ندارد."));
    templates.Close();
}

void frmReport::cmdOk_Click()
{
    cmdPrint_Click();
}

void frmReport::cmdExit_Click()
{
    TemplateFilePath.clear();
    Unload();
}

void frmReport::Unload()
{
    hide();
}

void frmReport::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    const QSignalBlocker block(ui->cmbReport);
    ui->cmbReport->clear();
}

void frmReport::closeEvent(QCloseEvent *event)
{
    // The close box leaves TemplateFilePath as the last print step set it.
    event->accept();
    Unload();
}

void frmReport::keyPressEvent(QKeyEvent *event)
{
    // Escape is the cancel button; Enter goes to the default button (cmdOk).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        runHandler([this] { cmdExit_Click(); });
        return;
    }
    QDialog::keyPressEvent(event);
}
