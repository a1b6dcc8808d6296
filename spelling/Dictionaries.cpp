#include "spelling/Dictionaries.h"

#include <QLocale>
#include <enchant.h>

namespace spelling {

Dictionaries::Dictionaries() : m_broker(enchant_broker_init()) {}

Dictionaries::~Dictionaries() {
    for (EnchantDict* d : std::as_const(m_dicts))
        if (d)
            enchant_broker_free_dict(m_broker, d);
    if (m_broker)
        enchant_broker_free(m_broker);
}

Dictionaries& Dictionaries::shared() {
    static Dictionaries dictionaries;
    return dictionaries;
}

namespace {

// "en-us" -> "en_US", "DE" -> "de": the form dictionaries are named in.
QString dictionaryName(const QString& language) {
    QString tag = language.trimmed();
    tag.replace(u'-', u'_');
    const qsizetype dot = tag.indexOf(u'.'); // "de_DE.UTF-8"
    if (dot >= 0)
        tag.truncate(dot);
    const qsizetype cut = tag.indexOf(u'_');
    if (cut < 0)
        return tag.toLower();
    return tag.left(cut).toLower() + u'_' + tag.mid(cut + 1).toUpper();
}

struct Listing {
    QByteArray prefix;
    QByteArray found;
};

void listed(const char* const tag, const char* const, const char* const, const char* const,
            void* data) {
    auto* listing = static_cast<Listing*>(data);
    const QByteArray name(tag);
    if (listing->found.isEmpty() && name.startsWith(listing->prefix))
        listing->found = name;
}

} // namespace

QString Dictionaries::resolve(const QString& language) {
    const auto known = m_resolved.constFind(language);
    if (known != m_resolved.cend())
        return *known;
    QString found;
    const QString name = dictionaryName(language);
    const QByteArray utf8 = name.toUtf8();
    if (m_broker && !name.isEmpty() && name != u"c" && name != u"posix") {
        if (enchant_broker_dict_exists(m_broker, utf8.constData())) {
            found = name;
        } else if (!name.contains(u'_')) {
            // A language without a region: any of its regional dictionaries.
            Listing listing{utf8 + '_', {}};
            enchant_broker_list_dicts(m_broker, listed, &listing);
            found = QString::fromUtf8(listing.found);
        }
    }
    m_resolved.insert(language, found);
    return found;
}

QString Dictionaries::dictionaryFor(const QString& language, const QString& fallback) {
    QMutexLocker lock(&m_mutex);
    if (!language.trimmed().isEmpty())
        return resolve(language);
    if (!fallback.trimmed().isEmpty())
        return resolve(fallback);
    return resolve(systemLanguage());
}

QString Dictionaries::systemLanguage() {
    const QString name = QLocale::system().name();
    const QString lower = name.toLower();
    return name.isEmpty() || lower == u"c" || lower.startsWith(u"c.") || lower == u"posix"
               ? QStringLiteral("en")
               : name;
}

namespace {
void collect(const char* const tag, const char* const, const char* const, const char* const,
             void* data) {
    static_cast<QStringList*>(data)->append(QString::fromUtf8(tag));
}
} // namespace

QStringList Dictionaries::installed() {
    QMutexLocker lock(&m_mutex);
    QStringList out;
    if (m_broker)
        enchant_broker_list_dicts(m_broker, collect, &out);
    out.sort();
    out.removeDuplicates();
    return out;
}

bool Dictionaries::anyFor(const QString& language) {
    return !dictionaryFor(language).isEmpty();
}

EnchantDict* Dictionaries::dict(const QString& tag) {
    auto it = m_dicts.find(tag);
    if (it == m_dicts.end())
        it = m_dicts.insert(
            tag,
            m_broker ? enchant_broker_request_dict(m_broker, tag.toUtf8().constData()) : nullptr);
    return *it;
}

bool Dictionaries::isCorrect(const QString& word, const QString& tag) {
    QMutexLocker lock(&m_mutex);
    if (m_ignored.contains(word))
        return true;
    QHash<QString, bool>& answers = m_answers[tag];
    const auto known = answers.constFind(word);
    if (known != answers.cend())
        return *known;
    EnchantDict* d = dict(tag);
    bool correct = true;
    if (d) {
        QString spelt = word;
        spelt.replace(QChar(0x2019), u'\'');
        const QByteArray utf8 = spelt.toUtf8();
        correct = enchant_dict_check(d, utf8.constData(), utf8.size()) == 0;
    }
    answers.insert(word, correct);
    return correct;
}

QStringList Dictionaries::suggestions(const QString& word, const QString& tag, int count) {
    QMutexLocker lock(&m_mutex);
    QStringList out;
    EnchantDict* d = dict(tag);
    if (!d)
        return out;
    const QByteArray utf8 = word.toUtf8();
    size_t n = 0;
    char** list = enchant_dict_suggest(d, utf8.constData(), utf8.size(), &n);
    for (size_t i = 0; i < n && out.size() < count; ++i)
        out.append(QString::fromUtf8(list[i]));
    if (list)
        enchant_dict_free_string_list(d, list);
    return out;
}

void Dictionaries::ignoreAll(const QString& word) {
    QMutexLocker lock(&m_mutex);
    m_ignored.insert(word);
}

void Dictionaries::addToPersonal(const QString& word, const QString& tag) {
    QMutexLocker lock(&m_mutex);
    if (EnchantDict* d = dict(tag)) {
        const QByteArray utf8 = word.toUtf8();
        enchant_dict_add(d, utf8.constData(), utf8.size());
    }
    m_answers[tag].insert(word, true);
}

bool Dictionaries::firstReportOfMissing(const QString& language) {
    QMutexLocker lock(&m_mutex);
    if (m_reported.contains(language))
        return false;
    m_reported.insert(language);
    return true;
}

} // namespace spelling
