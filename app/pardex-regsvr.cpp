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
// silent; /n and /i[:text] are accepted and mean nothing here. The exit
// statuses are in the help text below. Nothing is registered unless the
// status is 0.

#include "common/UserComponentRegistry.h"
#include "core/VbError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {

enum Status { Registered = 0, BadArguments = 2, FileMissing = 3, NotAComponent = 4, RegistryFailed = 5, Refused = 6 };

// The help text, which the manual page is made from as well.
const char *const Help =
    "Usage: pardex-regsvr [/s] [/u] FILE\n"
    "Registers a Pardex component file for the current user, as the suite's\n"
    "\"Regsvr32\" command line asks. FILE may be written the suite's way\n"
    "(\"<base>System\\Lidmar.ocx\"): the separators and the extension become this\n"
    "platform's, and a path without a folder of this platform names the file in\n"
    "the installation's component folder. Only a file in a component folder that\n"
    "no other user can change is loaded; every component it holds is recorded in\n"
    "the user's registry, ~/.config/pardex/components.conf.\n"
    "\n"
    "Options:\n"
    "  /s             Silent: print nothing.\n"
    "  /u             Remove the file's components from the registry.\n"
    "  /n, /i[:TEXT]  Accepted for the suite's command lines; no effect here.\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n"
    "\n"
    "Exit status:\n"
    "  0  registered (or removed)\n"
    "  2  wrong arguments\n"
    "  3  the file is missing or cannot be loaded\n"
    "  4  it is not a component file\n"
    "  5  the registry cannot be written\n"
    "  6  the file is refused\n";

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
    // The suite's switches are /x; a double dash is this platform's, where
    // only help and version exist.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "/?") == 0) {
            std::fputs(Help, stdout);
            return Registered;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("pardex-regsvr %s\n", PARDEX_VERSION);
            return Registered;
        }
        if (std::strncmp(argv[i], "--", 2) == 0) {
            std::fprintf(stderr, "pardex-regsvr: unknown option '%s'\nTry 'pardex-regsvr --help'.\n", argv[i]);
            return BadArguments;
        }
    }
    const UserComponentRegistry::ToolArguments args = UserComponentRegistry::parseToolArguments(app.arguments().mid(1));
    g_silent = args.silent;
    if (!args.error.isEmpty())
        return report(BadArguments, args.error);
    if (args.file.isEmpty())
        return report(BadArguments, QStringLiteral("استفاده: pardex-regsvr [/s] [/u] \"<مسير>System\\Lidmar.ocx\"؛ "
                                                   "راهنما: pardex-regsvr --help"));

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
