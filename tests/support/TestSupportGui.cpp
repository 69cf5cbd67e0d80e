#include "TestSupportGui.h"

#include <QDir>
#include <QFile>

namespace TestSupport {

void UseHome(const QString &path)
{
    QDir().mkpath(path);
    qputenv("HOME", QFile::encodeName(path));
}

} // namespace TestSupport
