#pragma once

#include <QString>

namespace platform {

// The per-user settings store: an INI file under the organisation and application name
// "Halvane". Values live in one section and are written as the text of a number.
class SettingsStore {
public:
    explicit SettingsStore(QString section = QStringLiteral("Settings"));

    // Reads a number. A missing value, or one whose text is not a finite number, gives the default.
    double readNumber(const QString& key, double defaultValue) const;
    void writeNumber(const QString& key, double value);
    void sync();

private:
    QString m_section;
};

} // namespace platform
