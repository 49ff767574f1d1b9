#include "platform/FileSystemObject.h"

#include <QFileInfo>

bool FileSystemObject::FileExists(const QString &path) const
{
    // Paths from the suite's database may use Windows separators.
    QString p = path;
    if (!QFileInfo::exists(p))
        p.replace(u'\\', u'/');
    return QFileInfo(p).isFile();
}
