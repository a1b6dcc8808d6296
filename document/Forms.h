#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The program's auxiliary windows (dialogs and palettes), one instance each, by name.
//
// A subsystem registers how to build its window; showing a loaded window brings it forward,
// and unloading destroys it, so the next showing starts fresh. A name with no registered
// window shows nothing.
namespace Forms {

using Factory = std::function<QWidget*()>;

void registerFactory(const QString& name, Factory factory);
bool isRegistered(const QString& name);
QStringList names(); // every registered window, sorted

QWidget* find(const QString& name); // the loaded instance, or nullptr
QWidget* load(const QString& name); // loads it if needed, without showing it
QWidget* show(const QString& name); // loads, shows (not modal) and brings it forward
int showModal(const QString& name); // loads and runs it modally; 0 when not registered
bool isVisible(const QString& name);
void focus(const QString& name); // gives a loaded, visible window the focus
// Takes the window out of the registry at once and closes it (it is destroyed), so that a
// showing that follows, even in the same event, builds a fresh one.
void unload(QWidget* window);
void unloadAll();

} // namespace Forms
