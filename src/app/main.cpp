#include "DataModule.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TShareDM dm;
    QString error;
    if (!dm.OpenDataFile(dm.DefaultDataFile(), true, &error)) {
        QMessageBox::critical(nullptr, QStringLiteral("青柚流水帐"), error);
        return 1;
    }
    return 0;
}
