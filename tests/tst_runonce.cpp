#include "RunOnceUnit.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QMainWindow>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// Two real copies of the program: the second brings the first forward and quits.
class TestRunOnce : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void secondCopyRaisesTheFirst();
    void secondCopyRaisesTheOpenDialog();
    void crashedCopyLeavesNoGuard();
    void inProcessGuard();

private:
    QProcess *launch();
    bool waitForLine(QProcess *p, QByteArray *seen, const QByteArray &line, int ms = 15000);
    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    QList<QProcess *> m_processes;
    QString m_program;
};

void TestRunOnce::init()
{
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    QString error;
    QVERIFY2(m_folder->createDataFile(&error), qPrintable(error));
    // The program's folder is where the binary is: a copy beside the data file.
    m_program = m_folder->filePath(u"qybook"_s);
    QVERIFY(QFile::copy(qEnvironmentVariable("QY_QYBOOK"), m_program));
    QVERIFY(QDir().mkpath(m_folder->filePath(u"tmp"_s)));
}

void TestRunOnce::cleanup()
{
    for (QProcess *p : std::as_const(m_processes)) {
        p->kill();
        p->waitForFinished(5000);
        delete p;
    }
    m_processes.clear();
}

QProcess *TestRunOnce::launch()
{
    auto *p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"QYBOOK_TRACE"_s, u"1"_s);
    env.insert(u"HOME"_s, m_folder->filePath(u"home"_s));
    env.insert(u"XDG_CONFIG_HOME"_s, m_folder->filePath(u"config"_s));
    // The guard's socket lives in TMPDIR: a private one keeps other runs out.
    env.insert(u"TMPDIR"_s, m_folder->filePath(u"tmp"_s));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(m_program, {});
    m_processes << p;
    return p;
}

bool TestRunOnce::waitForLine(QProcess *p, QByteArray *seen, const QByteArray &line, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        *seen += p->readAllStandardError();
        if (seen->contains(line))
            return true;
        if (p->state() == QProcess::NotRunning)
            return false;
        p->waitForReadyRead(100);
    }
    return false;
}

void TestRunOnce::secondCopyRaisesTheFirst()
{
    QProcess *first = launch();
    QByteArray firstOut;
    QVERIFY2(waitForLine(first, &firstOut, "shown FormLogin"), firstOut.constData());

    QProcess *second = launch();
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->exitCode(), 0);
    const QByteArray secondOut = second->readAllStandardError();
    QVERIFY2(secondOut.contains("another copy is running"), secondOut.constData());
    QVERIFY2(!secondOut.contains("shown "), "the second copy must show nothing");
    QVERIFY2(waitForLine(first, &firstOut, "raised "), firstOut.constData());
    QCOMPARE(first->state(), QProcess::Running);
}

void TestRunOnce::secondCopyRaisesTheOpenDialog()
{
    QProcess *first = launch();
    QByteArray firstOut;
    QVERIFY2(waitForLine(first, &firstOut, "shown FormLogin"), firstOut.constData());
    QProcess *second = launch();
    QVERIFY(second->waitForFinished(15000));
    // The login dialog is the modal window open in the first copy: it is the one raised.
    QVERIFY2(waitForLine(first, &firstOut, "raised FormLogin"), firstOut.constData());
}

void TestRunOnce::crashedCopyLeavesNoGuard()
{
    QProcess *first = launch();
    QByteArray out;
    QVERIFY2(waitForLine(first, &out, "shown FormLogin"), out.constData());
    first->kill(); // no clean exit: the socket file stays behind
    first->waitForFinished(5000);
    QProcess *next = launch();
    QByteArray nextOut;
    QVERIFY2(waitForLine(next, &nextOut, "shown FormLogin"), nextOut.constData());
    QVERIFY(!nextOut.contains("another copy is running"));
}

void TestRunOnce::inProcessGuard()
{
    const QString key = u"qybook-test-"_s + QString::number(QCoreApplication::applicationPid());
    TRunOnce owner(key);
    QVERIFY(!owner.RunOnceCheck());
    QVERIFY(owner.IsOwner());
    int activations = 0;
    owner.OnActivate = [&activations] { ++activations; };

    // What a second copy sends; the owner answers on its event loop.
    QLocalSocket client;
    client.connectToServer(key);
    QVERIFY(client.waitForConnected(2000));
    client.write("restore\n");
    client.flush();
    QTRY_COMPARE(activations, 1);
    QTRY_VERIFY(client.bytesAvailable() > 0 || client.state() != QLocalSocket::ConnectedState);

    // The window comes back from the task bar.
    QMainWindow window;
    window.showMinimized();
    QCOMPARE(RaiseApplicationWindow(&window), &window);
    QVERIFY(!window.isMinimized());
}

QTEST_MAIN(TestRunOnce)
#include "tst_runonce.moc"
