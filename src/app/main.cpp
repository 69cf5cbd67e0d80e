#include "CustomVistaHint.h"
#include "DataModule.h"
#include "MainForm.h"
#include "RunOnceUnit.h"

#include <QApplication>
#include <QDialog>
#include <QFont>
#include <QShowEvent>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// With QYBOOK_TRACE set, the program says which windows it shows and raises (for the tests
// that drive two real processes).
class TTrace : public QObject
{
public:
    using QObject::QObject;
    static void Line(const QString &text)
    {
        std::fprintf(stderr, "trace: %s\n", text.toUtf8().constData());
        std::fflush(stderr);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow() && !watched->objectName().isEmpty())
            Line(u"shown "_s + watched->objectName());
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"qybook"_s);
    QApplication::setApplicationDisplayName(u"青柚流水帐"_s);
    const bool trace = qEnvironmentVariableIsSet("QYBOOK_TRACE");

    // One copy per user session: a second start brings the first forward and quits.
    TRunOnce guard;
    if (guard.RunOnceCheck()) {
        if (trace)
            TTrace::Line(u"another copy is running"_s);
        return 0;
    }

    // The program speaks Chinese in 宋体 where it exists, else in the installed CJK font.
    QFont font(QStringList{u"宋体"_s, u"SimSun"_s, u"Noto Sans CJK SC"_s, u"Noto Sans CJK"_s,
                           u"WenQuanYi Micro Hei"_s, u"Droid Sans Fallback"_s});
    font.setPixelSize(12);
    QApplication::setFont(font);
    TVistaHintWindow::Install(&app);

    TTrace tracer;
    if (trace)
        app.installEventFilter(&tracer);

    // The data module outlives the main window: its end runs the automatic backup.
    TShareDM dm;
    TFormMain form(dm);
    guard.OnActivate = [&form, trace] {
        QWidget *raised = RaiseApplicationWindow(&form);
        if (trace && raised)
            TTrace::Line(u"raised "_s + raised->objectName());
    };
    form.show();
    return app.exec();
}
