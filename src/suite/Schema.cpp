#include "suite/Schema.h"

#include "core/VbError.h"

#include <QDir>
#include <QFile>

// Outside any namespace, as Qt's resource initialiser must be: a resource
// of a static library is linked in only when something names it.
static void initSchemaResources()
{
    Q_INIT_RESOURCE(schema);
}

namespace suite {

namespace {

void ensureResources()
{
    static const bool ready = (initSchemaResources(), true);
    Q_UNUSED(ready)
}

QString folderOf(SchemaEngine engine)
{
    return engine == SchemaEngine::Sqlite ? QStringLiteral(":/db/sqlite") : QStringLiteral(":/db/postgresql");
}

} // namespace

QStringList schemaFiles(SchemaEngine engine)
{
    ensureResources();
    const QDir dir(folderOf(engine));
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

QString schemaScript(const QString &resourcePath)
{
    ensureResources();
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        throw VbError::database(QStringLiteral("اسكريپت پايگاه داده %1 در برنامه نيست.").arg(resourcePath));
    return QString::fromUtf8(file.readAll());
}

QString schemaText(SchemaEngine engine)
{
    QString text;
    for (const QString &file : schemaFiles(engine))
        text += schemaScript(file) + u'\n';
    return text;
}

QString sqliteSchema()
{
    return schemaText(SchemaEngine::Sqlite);
}

} // namespace suite
