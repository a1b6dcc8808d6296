#include "app/StartUp.h"

#include "app/frmMain.h"
#include "app/frmSplash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

namespace startup {

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
    return app.exec();
}

} // namespace startup
