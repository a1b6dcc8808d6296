#include "app/StartUp.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "Halvane is a desktop program and needs a graphical display, but none is "
                     "available (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Start it from a desktop session, or under a virtual display, e.g.: "
                     "xvfb-run -a build/dev/app/halvane\n");
        return 2;
    }
    // The live preview's web engine shares its drawing context with the windows; the
    // attribute costs nothing when the preview is never opened.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.1"));
    return startup::run(app);
}
