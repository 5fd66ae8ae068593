#include "SampleDatabase.h"

#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "sample/SampleData.h"
#include "framework/Dialogs.h"
#include "framework/MainConnection.h"

#include <QFile>

SampleDatabase::SampleDatabase(int jobs) : path(dir.filePath("sample.fdb"))
{
    CreateBaseDatabase(path, "SYSDBA", "x");
    MemTable package;
    loadUpdatePackage(package);
    connection.open(path, {"USER_NAME=SYSDBA", "PASSWORD=x", "lc_ctype=WIN1250"});
    MigrationRunner runner(connection, package, package.recordCount());
    runner.showError = runner.showMessage = [](const QString& text) {
        qWarning("message while preparing: %s", qPrintable(text));
    };
    runner.RunPass();
    FillSampleData(connection, jobs);
    setMainConnection(&connection);
    // Nobody answers a dialog in a benchmark: say what it was and go on.
    setDialogResponder([](const DialogRequest& r) {
        qWarning("dialog: %s", qPrintable(r.text));
        return r.defaultResult;
    });
}

SampleDatabase::~SampleDatabase()
{
    setDialogResponder({});
    setMainConnection(nullptr);
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}
