#pragma once

#include <QStringList>
#include <QTextStream>

// The commands of qybook-admin. Each takes its arguments (after the command name) and returns
// the process exit code: 0 done, 1 failed, 2 wrong usage. Results go to `out`, messages to `err`.
namespace AdminCommands {

struct Io
{
    QTextStream &out;
    QTextStream &err;
    QTextStream &in;
};

int Run(const QStringList &arguments, Io io);
QString Usage();

} // namespace AdminCommands
