#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The per-user settings store: an INI file under the organisation and application name
// "Halvane". Values live in one section and are written as the text of a number.
class SettingsStore {
public:
    explicit SettingsStore(QString section = QStringLiteral("Settings"));

    // Reads a number. A missing value, or one whose text is not a finite number, gives the default.
    double readNumber(const QString& key, double defaultValue) const;
    void writeNumber(const QString& key, double value);
    // A list of texts (e.g. file paths); a missing value gives an empty list.
    QStringList readList(const QString& key) const;
    void writeList(const QString& key, const QStringList& values);
    void sync();

private:
    QString m_section;
};

} // namespace platform
