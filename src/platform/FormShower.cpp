#include "platform/FormShower.h"

#include "core/VbError.h"
#include "platform/Seams.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace FormShower {

namespace {

seams::ModalHook g_hook;
int g_depth = 0;

// Ends the nested loop when the form is hidden, closed or destroyed.
class HideWatcher : public QObject
{
public:
    HideWatcher(QWidget *form, QEventLoop *loop) : m_loop(loop) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && static_cast<QWidget *>(watched)->isHidden())
            m_loop->quit();
        return false;
    }

private:
    QEventLoop *m_loop;
};

} // namespace


int modalDepth()
{
    return g_depth;
}

void showModal(QWidget *form)
{
    ++g_depth;
    struct Depth {
        ~Depth() { --g_depth; }
    } depth;
    if (g_hook) {
        // The hook decides what the user does; the form ends hidden either way.
        form->setWindowModality(Qt::ApplicationModal);
        form->show();
        g_hook(form);
        form->hide();
        return;
    }
    QPointer<QWidget> guard(form);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    form->raise();
    form->activateWindow();
    QEventLoop loop;
    HideWatcher watcher(form, &loop);
    QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (form->isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (guard) {
        form->removeEventFilter(&watcher);
        form->setWindowModality(Qt::NonModal);
    }
}

void showModeless(QWidget *form, bool hostAllowsModeless)
{
    if (!hostAllowsModeless)
        throw VbError(VbError::NonModalNotAllowed,
                      QStringLiteral("Non-modal forms cannot be displayed in this host application from an ActiveX "
                                     "DLL, ActiveX Control, or Property Page."));
    form->setWindowModality(Qt::NonModal);
    form->show();
    form->raise();
    form->activateWindow();
}

} // namespace FormShower

void seams::setModalHook(ModalHook hook)
{
    FormShower::g_hook = std::move(hook);
}
