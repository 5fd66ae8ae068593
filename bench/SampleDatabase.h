#pragma once

#include "fb/Connection.h"

#include <QString>
#include <QTemporaryDir>

// A migrated database in a temporary folder with the sample agency of `jobs`
// jobs, opened as the program opens it and installed as the main connection.
struct SampleDatabase {
    explicit SampleDatabase(int jobs);
    ~SampleDatabase();

    QTemporaryDir dir;
    QString path;
    fb::Connection connection;
};

// The resident memory of this process in KiB (VmRSS), 0 where unknown.
long ResidentKiB();
