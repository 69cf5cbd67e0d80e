#include "AdminCommands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QYBook"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int code = AdminCommands::Run(args, {out, err, in});
    out.flush();
    err.flush();
    return code;
}
