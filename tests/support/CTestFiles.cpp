#include "support/CTestFiles.h"

#include <QFile>

QByteArray CTestFiles::read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
