#pragma once

#include <QByteArray>
#include <QString>

// Files on disk as tests look at them.
class CTestFiles {
public:
    // The whole file; empty when it cannot be read.
    static QByteArray read(const QString& path);
};
