#include "app/StartUp.h"

#include "app/Recovery.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

namespace startup {

void endWithSession(QApplication& app, frmMain& main)
{
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                     [&main](QSessionManager&) { main.endSession(); });
    platform::onTermination([&main](int) { main.endSession(); });
}

int run(QApplication& app)
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

    endWithSession(app, main);
    // Pages a previous run could not save are offered once the window is up.
    QTimer::singleShot(0, &main, [&main] { recovery::offerOrphans(main, main.recoveryKeeper()); });
    return app.exec();
}

} // namespace startup
