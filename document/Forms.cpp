#include "document/Forms.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QWidget>

namespace Forms {

namespace {
QHash<QString, Factory>& factories()
{
    static QHash<QString, Factory> map;
    return map;
}
QHash<QString, QPointer<QWidget>>& loaded()
{
    static QHash<QString, QPointer<QWidget>> map;
    return map;
}
} // namespace

void registerFactory(const QString& name, Factory factory) { factories().insert(name, std::move(factory)); }

bool isRegistered(const QString& name) { return factories().contains(name); }

QStringList names()
{
    QStringList all = factories().keys();
    all.sort();
    return all;
}

QWidget* find(const QString& name) { return loaded().value(name).data(); }

QWidget* load(const QString& name)
{
    if (QWidget* w = find(name))
        return w;
    const auto it = factories().constFind(name);
    if (it == factories().constEnd() || !*it)
        return nullptr;
    QWidget* w = (*it)();
    if (!w)
        return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (w->objectName().isEmpty())
        w->setObjectName(name);
    loaded().insert(name, w);
    return w;
}

QWidget* show(const QString& name)
{
    QWidget* w = load(name);
    if (!w)
        return nullptr;
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

int showModal(const QString& name)
{
    QWidget* w = load(name);
    if (!w)
        return 0;
    if (auto* dialog = qobject_cast<QDialog*>(w))
        return dialog->exec();
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    return 0;
}

bool isVisible(const QString& name)
{
    const QWidget* w = find(name);
    return w && w->isVisible();
}

void focus(const QString& name)
{
    if (QWidget* w = find(name); w && w->isVisible()) {
        w->activateWindow();
        w->setFocus();
    }
}

void unload(QWidget* window)
{
    if (!window)
        return;
    for (auto it = loaded().begin(); it != loaded().end();) {
        if (it.value() == window || !it.value())
            it = loaded().erase(it);
        else
            ++it;
    }
    window->close();
}

void unloadAll()
{
    const auto windows = loaded().values();
    loaded().clear();
    for (const QPointer<QWidget>& w : windows)
        if (w)
            w->close();
}

} // namespace Forms
