// pardex-regsvr: registers a component file for the current user, as the
// suite's "Regsvr32" command line asks:
//
//   pardex-regsvr [/s] [/u] "<base>System\Lidmar.ocx"
//
// The path's separators and extension are turned into this platform's
// (<base>System/Lidmar.so). The component file is loaded and every
// identifier it holds is recorded in the user's component registry (/u
// removes them). /s is silent. Exit status: 0 registered, 1 wrong
// arguments, 3 the file is missing or cannot be loaded, 4 it is not a
// component file, 5 the registry cannot be written. Nothing is registered
// unless the status is 0.

#include "common/UserComponentRegistry.h"
#include "core/VbError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

enum Status { Registered = 0, BadArguments = 1, FileMissing = 3, NotAComponent = 4, RegistryFailed = 5 };

bool g_silent = false;

int report(int status, const QString &text)
{
    if (!g_silent)
        std::fprintf(status == Registered ? stdout : stderr, "%s\n", text.toUtf8().constData());
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    bool unregister = false;
    QString given;
    const QStringList args = app.arguments().mid(1);
    for (const QString &arg : args) {
        const QString lower = arg.toLower();
        // Switches are whole words: a path on this platform starts with "/" too.
        if (lower == u"/s" || lower == u"-s")
            g_silent = true;
        else if (lower == u"/u" || lower == u"-u")
            unregister = true;
        else if (lower == u"/n" || lower == u"-n" || lower.startsWith(QStringLiteral("/i")))
            continue; // the platform's switches that have no meaning here
        else if (given.isEmpty())
            given = arg;
        else
            return report(BadArguments, QStringLiteral("تنها يك فايل را مي توان ثبت كرد: %1").arg(arg));
    }
    if (given.isEmpty())
        return report(BadArguments, QStringLiteral("استفاده: pardex-regsvr [/s] [/u] \"<مسير>System\\Lidmar.ocx\""));

    const QString file = QFileInfo(UserComponentRegistry::localFilePath(given)).absoluteFilePath();
    if (!QFileInfo(file).isFile())
        return report(FileMissing, QStringLiteral("فايل %1 يافت نشد.").arg(file));

    const UserComponentRegistry::FileCheck found = UserComponentRegistry::inspect(file);
    switch (found.result) {
    case UserComponentRegistry::FileCheck::Missing:
        return report(FileMissing, QStringLiteral("فايل %1 يافت نشد.").arg(file));
    case UserComponentRegistry::FileCheck::NotLoadable:
        return report(FileMissing, QStringLiteral("فايل %1 بار نشد: %2").arg(file, found.why));
    case UserComponentRegistry::FileCheck::NotAComponent:
        return report(NotAComponent, QStringLiteral("%1 جزء قابل ثبت نيست.").arg(file));
    case UserComponentRegistry::FileCheck::Component:
        break;
    }
    const QStringList progIds = found.progIds;
    if (progIds.isEmpty())
        return report(NotAComponent, QStringLiteral("%1 هيچ جزئي ندارد.").arg(file));

    try {
        if (unregister)
            UserComponentRegistry::remove(progIds);
        else
            UserComponentRegistry::add(progIds, file);
    } catch (const VbError &e) {
        return report(RegistryFailed, e.description());
    }
    return report(Registered, unregister ? QStringLiteral("ثبت %1 برداشته شد.").arg(progIds.join(QStringLiteral("، ")))
                                         : QStringLiteral("%1 ثبت شد.").arg(progIds.join(QStringLiteral("، "))));
}
