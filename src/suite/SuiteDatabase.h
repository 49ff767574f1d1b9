#pragma once

#include <QString>

struct sqlite3;

// Creating an embedded suite database file: the schema, and optionally the
// demo data a cashier would recognise and any number of extra receipts.
namespace suite {

struct CreateOptions
{
    bool demo = false;
    qint64 extraReceipts = 0;
    // Folder of the report templates; must end with a path separator.
    QString reportBasePath;
    // Replace an existing file instead of refusing.
    bool overwrite = false;
};

// Raises a VbError when the file exists (without overwrite) or cannot be written.
void createDatabase(const QString &path, const CreateOptions &options);

// Opens an existing file for the admin tool and the tests; WAL, foreign keys,
// a busy timeout. The caller closes it with sqlite3_close.
sqlite3 *openDatabase(const QString &path, bool readOnly = false, int busyTimeoutMs = 30000);

// The suite folder of this installation, with a trailing separator: the
// folder that holds reports/ (templates) and System/ (sibling components),
// found next to the running program (share/pardex when installed, the build
// tree when run from it), else the source tree.
QString suiteFolder();
// What a new demo database stores as its base path: the suite folder.
QString defaultReportBasePath();

} // namespace suite
