#pragma once

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

struct str_enchant_broker;
struct str_enchant_dict;

// The installed spelling dictionaries, through Enchant (the user's Hunspell, Nuspell, ...
// dictionaries and personal word lists). Safe to use from several threads: the checking
// worker asks about words while the interface asks for suggestions. Answers are remembered,
// so a word that comes back a thousand times is looked up once.
namespace spelling {

class Dictionaries {
  public:
    Dictionaries();
    ~Dictionaries();
    Dictionaries(const Dictionaries&) = delete;
    Dictionaries& operator=(const Dictionaries&) = delete;

    // The dictionary for a language: a lang value ("en", "en-GB", "fr") or a locale name
    // ("de_DE"); "" when none is installed. An empty language means `fallback`, and an empty
    // fallback the system's locale.
    QString dictionaryFor(const QString& language, const QString& fallback = {});
    // Whether a dictionary is installed for a language ("" the system's locale; a C or POSIX
    // locale counts as English).
    bool anyFor(const QString& language);
    // The installed dictionaries' names ("de_DE", "en_US", ...), sorted, once each.
    QStringList installed();
    // The system's locale as the checking names it: "en" for a C or POSIX locale.
    static QString systemLanguage();

    // Whether `word` is spelt right in dictionary `tag` (one dictionaryFor() gave), or ignored.
    bool isCorrect(const QString& word, const QString& tag);
    // Up to `count` spellings the dictionary offers for a word.
    QStringList suggestions(const QString& word, const QString& tag, int count = 8);
    // Leaves a word alone in every language for as long as the program runs.
    void ignoreAll(const QString& word);
    // Adds a word to the user's personal word list of a dictionary.
    void addToPersonal(const QString& word, const QString& tag);

    // True the first time a language without a dictionary is asked about: report it once.
    bool firstReportOfMissing(const QString& language);

    // Shared by the windows of the program; made on first use.
    static Dictionaries& shared();

  private:
    str_enchant_dict* dict(const QString& tag); // with m_mutex held
    QString resolve(const QString& language);   // with m_mutex held

    QMutex m_mutex;
    str_enchant_broker* m_broker = nullptr;
    QHash<QString, str_enchant_dict*> m_dicts;
    QHash<QString, QString> m_resolved;
    QHash<QString, QHash<QString, bool>> m_answers;
    QSet<QString> m_ignored;
    QSet<QString> m_reported;
};

} // namespace spelling
