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

// What a file is, loading it when it claims to be a component file.
struct FileCheck
{
    enum Result { Component, Missing, NotAComponent, NotLoadable } result;
    QStringList progIds; // a component file's identifiers
    QString why;         // otherwise the reason, for the user
};
FileCheck inspect(const QString &filePath);
// A new instance of a component from its file, owned by the caller; error
// 429 when the file is missing, cannot be loaded, is not a component file
// or does not hold the identifier. A loaded file stays loaded.
QObject *instantiate(const QString &progId, const QString &filePath);

} // namespace UserComponentRegistry
