#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmReport;
}

// The template file the dialog found, handed back to the receipt form:
// emptied before the dialog opens, the full path once a file is found.
extern QString TemplateFilePath;

// The dialog that lists the report templates of a form type and finds the
// chosen one's file under the suite's base paths. Single instance; the
// caller shows it modally; unloading hides it and empties its list.
class frmReport : public QDialog
{
    Q_OBJECT

public:
    static frmReport &instance();
    static bool hasInstance();
    static void destroyInstance();
    ~frmReport() override;

public Q_SLOTS:
    void Form_Activate();
    void FillTemplateForm(qint16 inFormTypeID);
    void cmdPrint_Click();
    void cmdOk_Click();
    void cmdExit_Click();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // However it is hidden, the dialog is unloaded: its list is emptied.
    void hideEvent(QHideEvent *event) override;

private:
    frmReport();
    void Unload();

    std::unique_ptr<Ui::frmReport> ui;
};
