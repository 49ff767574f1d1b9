#pragma once

#include <QString>
#include <QTemporaryDir>
#include "support/Printers.h"
#include <memory>

struct sqlite3;

// A private copy of the demo database for one test. The demo database is
// built once per test binary and copied, so every test starts from the
// same data and may change it freely.
class DemoDatabase
{
public:
    DemoDatabase();
    ~DemoDatabase();

    const QString &path() const { return m_path; }
    QString connectionString() const;
    // A direct handle for checking what the component left in the database.
    sqlite3 *handle();
    // First column of the first row of a query on the direct handle.
    QVariant scalar(const QString &sql);
    int count(const QString &sqlWhere);

    static QString tool(); // path of pardex-db

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    sqlite3 *m_handle = nullptr;
};
