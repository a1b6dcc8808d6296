#include "platform/SettingsStore.h"

#include <QSettings>
#include <cmath>

namespace platform {

namespace {
QSettings openStore()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvane"),
                     QStringLiteral("Halvane"));
}
} // namespace

SettingsStore::SettingsStore(QString section) : m_section(std::move(section)) {}

double SettingsStore::readNumber(const QString& key, double defaultValue) const
{
    QSettings s = openStore();
    s.beginGroup(m_section);
    const QVariant v = s.value(key);
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    // Stored as text and read back at single precision, like the placement always was.
    const float f = v.toString().trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(f))
        return defaultValue;
    return f;
}

void SettingsStore::writeNumber(const QString& key, double value)
{
    QSettings s = openStore();
    s.beginGroup(m_section);
    s.setValue(key, QString::number(value));
}

QStringList SettingsStore::readList(const QString& key) const
{
    QSettings s = openStore();
    s.beginGroup(m_section);
    return s.value(key).toStringList();
}

void SettingsStore::writeList(const QString& key, const QStringList& values)
{
    QSettings s = openStore();
    s.beginGroup(m_section);
    s.setValue(key, values);
}

void SettingsStore::sync() { openStore().sync(); }

} // namespace platform
