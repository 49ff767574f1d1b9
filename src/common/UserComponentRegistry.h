#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The components registered for this user: a text file under the user's
// configuration folder ($XDG_CONFIG_HOME/pardex/components.conf) mapping
// programmatic identifiers to component files. The registration tool writes
// it; ComponentRegistry::create reads it for identifiers not registered in
// the program itself. One "Identifier=path" line each; identifiers are
// compared without regard to case.
namespace UserComponentRegistry {

QString path();

// The registered file of an identifier, or an empty text.
QString fileOf(const QString &progId);
// Records the files of identifiers, replacing earlier ones, in one write
// (other processes see all of them or none). Raises a VbError when the
// registry cannot be written.
void add(const QStringList &progIds, const QString &filePath);
// Forgets identifiers; the same errors.
void remove(const QStringList &progIds);

// A component file as the suite names it ("<base>System\\Lidmar.ocx") turned
// into this platform's: its separators and its module extension (".so").
QString localFilePath(const QString &suitePath);

// The folders component files are loaded from: the installation's own
// (System/ of the suite folder beside the program: ../share/pardex/System
// installed, ../System in the build tree) and the absolute folders an
// administrator lists, one a line, in pardex/component-folders.conf of the
// system's configuration folders ($XDG_CONFIG_DIRS, else /etc/xdg), never
// the user's own. Canonical paths; the installation's first when found.
QStringList componentFolders();

// The file a suite path names, or the reason it is refused. A path with
// this platform's absolute folder is taken as it is; an empty, relative or
// Windows-style base names no folder here, so the file's name is looked up
// in the installation's folder (never in the current folder).
struct Resolved
{
    QString file;
    QString refusal; // empty when file is usable
};
Resolved resolve(const QString &suitePath);

// Why a file must not be loaded, or an empty text: it lies outside the
// component folders, or another user could change it (it or a folder above
// it is owned by someone else than this user or root, or is writable by
// its group or everyone; only a folder above the file's own may be a
// shared folder with the sticky bit, as /tmp is).
QString refusalOf(const QString &filePath);

// The registration tool's command line, with the platform's switches taken
// as whole words, in either case, with "/" or "-": /s silent, /u remove,
// /n and /i or /i:text (no meaning here). Any other word is the file; a
// second one is an error.
struct ToolArguments
{
    bool silent = false;
    bool unregister = false;
    QString file;
    QString error; // a second file
};
ToolArguments parseToolArguments(const QStringList &args);

// What a file is, loading it when it claims to be a component file and
// lies where component files may be loaded from.
struct FileCheck
{
    enum Result { Component, Missing, NotAComponent, NotLoadable, Refused } result;
    QStringList progIds; // a component file's identifiers
    QString why;         // otherwise the reason, for the user
};
FileCheck inspect(const QString &filePath);
// A new instance of a component from its file, owned by the caller; error
// 429 when the file is missing, refused, cannot be loaded, is not a
// component file or does not hold the identifier. A loaded file stays loaded.
QObject *instantiate(const QString &progId, const QString &filePath);

} // namespace UserComponentRegistry
