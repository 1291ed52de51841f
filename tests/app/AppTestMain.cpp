// The application's test program: xqapptests [CLASS] [QtTest options]. Runs the named test class, or
// all of them, on Qt's offscreen platform.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>

#include "PrivateXServer.h"
#include "TestRegistry.h"
#include "app/GermanUi.h"

namespace xq::test {

std::vector<TRegisteredTest>& TestRegistry()
{
    static std::vector<TRegisteredTest> registry;
    return registry;
}

} // namespace xq::test

int main(int argc, char** argv)
{
    // The X clipboard test, run as its own class, gets an X server of its own; without one its
    // tests skip and say why.
    const bool xTest = argc > 1 && std::strcmp(argv[1], "TXClipboardTest") == 0;
    bool xServer = false;
    if (xTest) {
        std::string reason;
        xServer = xq::test::StartPrivateXServer(reason);
        xq::test::PrivateXSkipReason() = reason;
    }
    if (!xServer)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    struct TStopServer {
        ~TStopServer() { xq::test::StopPrivateXServer(); }
    } stopServer;
    QApplication app(argc, argv);
    // The windows under test speak German as the program does; TGermanUiTest fails when they cannot.
    xq::InstallGermanUi(app);

    const char* only = nullptr;
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (!only && argv[i][0] != '-' && args.size() == 1)
            only = argv[i];
        else
            args.push_back(argv[i]);
    }
    int failures = 0;
    bool found = false;
    for (const auto& test : xq::test::TestRegistry()) {
        if (only && test.Name != only)
            continue;
        found = true;
        std::unique_ptr<QObject> object = test.Create();
        failures += QTest::qExec(object.get(), int(args.size()), args.data());
    }
    if (!found) {
        std::cerr << "xqapptests: no test class " << (only ? only : "") << "\n";
        return EXIT_FAILURE;
    }
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
