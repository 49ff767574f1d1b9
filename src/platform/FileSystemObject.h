#pragma once

#include <QObject>

// The platform's file-system object "Scripting.FileSystemObject", as far as
// the component uses it.
class FileSystemObject : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE bool FileExists(const QString &path) const;
};
