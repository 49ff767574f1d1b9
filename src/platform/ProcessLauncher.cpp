#include "platform/ProcessLauncher.h"
#include "platform/Seams.h"

#include "core/VbError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ProcessLauncher {

namespace {

seams::LaunchHook g_hook;

QString registrationTool()
{
    const QString name = QStringLiteral("pardex-regsvr");
    // Beside the program when installed or built; the test and benchmark
    // programs of the build tree find it in app/ beside their own folder.
    QStringList folders;
    if (QCoreApplication::instance()) {
        const QDir exe(QCoreApplication::applicationDirPath());
        folders << exe.absolutePath() << exe.absoluteFilePath(QStringLiteral("../app"));
    }
    for (const QString &folder : std::as_const(folders)) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.canonicalFilePath();
    }
    // On the search path only its absolute folders: a relative one would be
    // looked up in whatever folder the program was started from.
    QStringList absolute;
    for (const QString &folder : qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            absolute << folder;
    const QString onPath = QStandardPaths::findExecutable(name, absolute);
    return onPath.isEmpty() ? name : onPath;
}

} // namespace

QString programFor(const QString &word)
{
    QString base = QFileInfo(word).fileName();
    if (base.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        base.chop(4);
    if (base.compare(QStringLiteral("regsvr32"), Qt::CaseInsensitive) == 0)
        return registrationTool();
    return word;
}


qint64 Shell(const QString &commandLine, WindowStyle style)
{
    if (g_hook)
        return g_hook(commandLine, style);
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        throw VbError(5, QStringLiteral("Invalid procedure call or argument"), QStringLiteral("Shell"));
    const QString program = programFor(words.takeFirst());
    // A program found by its path starts in its own folder, not in the one
    // this program was started from.
    const QFileInfo found(program);
    const QString folder = found.isAbsolute() ? found.absolutePath() : QString();
    // The registration tool found nowhere is not looked for again by name.
    if (program == QLatin1String("pardex-regsvr"))
        throw VbError(53, QStringLiteral("File not found: %1").arg(program), QStringLiteral("Shell"));
    qint64 pid = 0;
    if (!QProcess::startDetached(program, words, folder, &pid))
        throw VbError(53, QStringLiteral("File not found: %1").arg(program), QStringLiteral("Shell"));
    return pid;
}

} // namespace ProcessLauncher

void seams::setLaunchHook(LaunchHook hook)
{
    ProcessLauncher::g_hook = std::move(hook);
}
