#include "support/DemoDatabase.h"

#include "suite/Sqlite.h"
#include "suite/SuiteDatabase.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

const QString &templatePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("demo-template.db"));
        suite::CreateOptions options;
        options.demo = true;
        suite::createDatabase(p, options);
        return p;
    }();
    return path;
}

} // namespace

DemoDatabase::DemoDatabase() : m_dir(std::make_unique<QTemporaryDir>())
{
    m_path = m_dir->filePath(QStringLiteral("demo.db"));
    QFile::copy(templatePath(), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

DemoDatabase::~DemoDatabase()
{
    if (m_handle)
        sqlite3_close(m_handle);
}

QString DemoDatabase::connectionString() const
{
    return QStringLiteral("Provider=SQLite;Data Source=") + m_path;
}

sqlite3 *DemoDatabase::handle()
{
    if (!m_handle)
        m_handle = suite::openDatabase(m_path);
    return m_handle;
}

QVariant DemoDatabase::scalar(const QString &sql)
{
    return sqlite::scalar(handle(), sql);
}

int DemoDatabase::count(const QString &sqlWhere)
{
    return scalar(QStringLiteral("SELECT count(*) FROM ") + sqlWhere).toInt();
}

QString DemoDatabase::tool()
{
    return QStringLiteral(PARDEX_DB_TOOL);
}
