// pardex-regsvr: registers a component file for the current user, as the
// suite's "Regsvr32" command line asks:
//
//   pardex-regsvr [/s] [/u] "<base>System\Lidmar.ocx"
//
// The path's separators and extension are turned into this platform's
// (<base>System/Lidmar.so). A path without a folder of this platform (an
// empty, relative or Windows-style base) names the file of that name in
// the installation's component folder, never one in the current folder.
// Only a file in a component folder that no other user can change is
// loaded (UserComponentRegistry::refusalOf); every identifier it holds is
// recorded in the user's component registry (/u removes them). /s is
// silent; /n and /i[:text] are accepted and mean nothing here. Exit status:
// 0 registered, 1 wrong arguments, 3 the file is missing or cannot be
// loaded, 4 it is not a component file, 5 the registry cannot be written,
// 6 the file is refused. Nothing is registered unless the status is 0.

#include "common/UserComponentRegistry.h"
#include "core/VbError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

enum Status { Registered = 0, BadArguments = 1, FileMissing = 3, NotAComponent = 4, RegistryFailed = 5, Refused = 6 };

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
    const UserComponentRegistry::ToolArguments args = UserComponentRegistry::parseToolArguments(app.arguments().mid(1));
    g_silent = args.silent;
    if (!args.error.isEmpty())
        return report(BadArguments, args.error);
    if (args.file.isEmpty())
        return report(BadArguments, QStringLiteral("استفاده: pardex-regsvr [/s] [/u] \"<مسير>System\\Lidmar.ocx\""));

    const UserComponentRegistry::Resolved resolved = UserComponentRegistry::resolve(args.file);
    if (!resolved.refusal.isEmpty())
        return report(Refused, resolved.refusal);
    const QString file = resolved.file;
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
    case UserComponentRegistry::FileCheck::Refused:
        return report(Refused, QStringLiteral("%1 ثبت نمي شود: %2").arg(file, found.why));
    case UserComponentRegistry::FileCheck::Component:
        break;
    }
    const QStringList progIds = found.progIds;
    if (progIds.isEmpty())
        return report(NotAComponent, QStringLiteral("%1 هيچ جزئي ندارد.").arg(file));

    try {
        if (args.unregister)
            UserComponentRegistry::remove(progIds);
        else
            UserComponentRegistry::add(progIds, file);
    } catch (const VbError &e) {
        return report(RegistryFailed, e.description());
    }
    return report(Registered, args.unregister ? QStringLiteral("ثبت %1 برداشته شد.").arg(progIds.join(QStringLiteral("، ")))
                                         : QStringLiteral("%1 ثبت شد.").arg(progIds.join(QStringLiteral("، "))));
}
