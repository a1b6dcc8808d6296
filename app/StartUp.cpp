#include "app/StartUp.h"

#include "app/CommandLine.h"
#include "app/LastSession.h"
#include "app/OpenPages.h"
#include "app/Recovery.h"
#include "app/SingleInstance.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/FileIo.h"
#include "platform/Pictures.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace startup {

namespace {

// Without a display the toolkit would abort with a terse message; say what is needed.
bool hasDisplay()
{
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The page given as "-": everything on the standard input, up to the largest page opened.
QByteArray readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.read(platform::files::maxReadBytes);
}

int runProgram(QApplication& app, const instance::Message& given,
               const std::function<void(frmMain&)>& whenShown)
{
    frmMain main;
    main.setEndsProgram(true);

    auto* splash = new frmSplash;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        splash->move(screen->availableGeometry().center() - splash->rect().center());
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    // Hold the splash with the counted loop, bounded in time so start-up stays quick.
    QElapsedTimer held;
    held.start();
    for (int counter = 1; counter != 34000 && held.elapsed() < 1500; ++counter) {
        splash->show();
        if (counter % 500 == 0)
            QApplication::processEvents();
    }

    main.load();
    splash->close();
    delete splash;
    main.show();

    // Later starts on this display hand their files to this program.
    instance::Server server;
    server.listen();
    QObject::connect(&server, &instance::Server::received, &main, [&main](const instance::Message& m) {
        files::openPages(main, m.files, m.standardInput);
        files::bringToFront(main);
    });

    endWithSession(app, main);
    if (whenShown)
        whenShown(main);
    // The last session's pages when the user asked for them at every start, the files named
    // at start, then the pages a previous run could not save, once the window is up.
    QTimer::singleShot(0, &main, [&main, given] {
        session::reopenAtStart(main);
        if (!given.files.isEmpty())
            files::openPages(main, given.files, given.standardInput);
        recovery::offerOrphans(main, main.recoveryKeeper());
    });
    return app.exec();
}

} // namespace

void endWithSession(QApplication& app, frmMain& main)
{
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                     [&main](QSessionManager&) { main.endSession(); });
    platform::onTermination([&main](int) { main.endSession(); });
}

int main(int argc, char* argv[], std::function<void(frmMain&)> whenShown)
{
    const cli::Request request = cli::parse(cli::fromArgv(argc, argv), QDir::currentPath());
    switch (request.action) {
    case cli::Request::Action::Help:
    case cli::Request::Action::Version:
        print(stdout, request.output);
        return 0;
    case cli::Request::Action::Misuse:
        print(stderr, request.output);
        return 2;
    case cli::Request::Action::Run:
        break;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "Halvane is a desktop program and needs a graphical display, but none is "
                     "available (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Start it from a desktop session, or under a virtual display, e.g.: "
                     "xvfb-run -a build/release/app/halvane\n");
        return 2;
    }
    instance::Message given{request.files, {}};
    if (given.files.contains(cli::standardInput))
        given.standardInput = readStandardInput();

    // No shared drawing context (Qt::AA_ShareOpenGLContexts): the toolkit would create a
    // global OpenGL context at start, which maps the whole GL stack (a software renderer
    // included) into every start. The live preview's engine, loaded on first show, draws
    // with a context of its own.
    QApplication app(argc, argv);
    platform::deferStockIcons(app);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.1"));
    QGuiApplication::setDesktopFileName(QStringLiteral("halvane"));

    // A start without files is always a program of its own.
    if (!given.files.isEmpty() && !request.newInstance) {
        switch (instance::handOff(given)) {
        case instance::Delivery::Taken:
            return 0;
        case instance::Delivery::Unconfirmed:
            // The running program has the files and opens them once it gets to them: opening
            // them here as well would show each page twice.
            print(stderr, QStringLiteral("The Halvane already running on this display was given the files "
                                         "but has not confirmed them within 30 seconds (it may be busy); "
                                         "they open there once it is ready.\n"));
            return 1;
        case instance::Delivery::NotTaken:
            break;
        }
    }
    return runProgram(app, given, whenShown);
}

} // namespace startup
