// One instance per user: a later start hands over to the running one and ends, between objects of
// one process and between real processes of the program.
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <thread>

#include "TestSupport.h"
#include "app/SingleInstance.h"

namespace xq::test {

namespace fs = std::filesystem;

namespace {

/// The environment of a program started by the test: offscreen, with its sockets in runtimeDir.
QProcessEnvironment ProgramEnvironment(const fs::path& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtimeDir.string()));
    return env;
}

/// The server name the program uses with that runtime directory.
QString ServerNameIn(const fs::path& runtimeDir)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtimeDir.string()));
    QString name = TSingleInstance::DefaultServerName();
    qputenv("XDG_RUNTIME_DIR", saved);
    return name;
}

bool Connectable(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool connected = socket.waitForConnected(200);
    socket.abort();
    return connected;
}

} // namespace

class TSingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void LaterInstanceAsksTheFirstToComeForward()
    {
        TTempDir runtime;
        const QString name = QString::fromStdString((runtime / "XQTextbausteineditor-test").string());
        TSingleInstance first(name);
        int raised = 0;
        first.OnRaise = [&raised] { ++raised; };
        QVERIFY(!first.HandOverToRunningInstance());
        QVERIFY(first.Listening());

        // The request is answered from the first instance's event loop, so the later one runs on
        // a thread of its own here.
        bool handedOver = false;
        std::thread later([&] {
            TSingleInstance second(name);
            handedOver = second.HandOverToRunningInstance();
        });
        QVERIFY(WaitFor([&] { return raised == 1; }));
        later.join();
        QVERIFY(handedOver);

        // A minimised window comes back.
        TTempDir exe;
        TScriptedBoxes boxes;
        TFormED window({"x", "7"}, exe.Path(), TestServices(boxes));
        window.showMinimized();
        QVERIFY(WaitFor([&] { return window.isMinimized(); }));
        window.RestoreAndRaise();
        QVERIFY(WaitFor([&] { return !window.isMinimized(); }));
    }

    void SocketLeftBehindIsTakenOver()
    {
        TTempDir runtime;
        const QString name = QString::fromStdString((runtime / "XQTextbausteineditor-test").string());
        WriteBytes(name.toStdString(), "");
        TSingleInstance instance(name);
        QVERIFY(!instance.HandOverToRunningInstance());
        QVERIFY(instance.Listening());
    }

    void SecondProgramHandsOverAndEnds()
    {
        TTempDir runtime;
        TTempDir work;
        AddSpellerProgram(work.Path());
        const QString program = QStringLiteral(XQEDITOR_PATH);
        const QString name = ServerNameIn(runtime.Path());

        // The first instance: a host document mode without a dialog, in its own working directory.
        QProcess first;
        first.setProcessEnvironment(ProgramEnvironment(runtime.Path()));
        first.start(program, {QStringLiteral("Vorgang.doc"), QStringLiteral("7"), QString::fromStdString(work.Path().string())});
        QVERIFY(first.waitForStarted());
        QVERIFY(WaitFor([&] { return Connectable(name); }, 15000));

        // The second, whatever its arguments, hands over and ends at once without a window.
        QProcess second;
        second.setProcessEnvironment(ProgramEnvironment(runtime.Path()));
        second.start(program, {QStringLiteral("Brief.dvl"), QStringLiteral("2"), QString::fromStdString(work.Path().string())});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        first.waitForFinished();

        // A test process in the first one's place receives the real program's request.
        TSingleInstance standIn(name);
        int raised = 0;
        standIn.OnRaise = [&raised] { ++raised; };
        QVERIFY(!standIn.HandOverToRunningInstance());
        QProcess third;
        third.setProcessEnvironment(ProgramEnvironment(runtime.Path()));
        third.start(program, QStringList{});
        const bool ended = WaitFor([&] { return third.state() == QProcess::NotRunning; }, 15000);
        if (!ended) {
            third.kill();
            third.waitForFinished();
        }
        QVERIFY(ended);
        QCOMPARE(third.exitCode(), 0);
        QCOMPARE(raised, 1);
    }
};

XQ_APP_TEST(TSingleInstanceTest);

} // namespace xq::test

#include "SingleInstanceTest.moc"
