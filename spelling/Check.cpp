#include "spelling/Check.h"

namespace spelling {

std::vector<Word> misspelt(const std::vector<Word>& words, Dictionaries& dictionaries,
                           const QString& pageLanguage, QSet<QString>* missing) {
    std::vector<Word> out;
    QString language, tag; // the last language asked about, words come in runs of one
    bool first = true;
    for (const Word& w : words) {
        if (first || w.language != language) {
            first = false;
            language = w.language;
            tag = dictionaries.dictionaryFor(language, pageLanguage);
            if (tag.isEmpty() && missing)
                missing->insert(!language.isEmpty()       ? language
                                : !pageLanguage.isEmpty() ? pageLanguage
                                                          : Dictionaries::systemLanguage());
        }
        if (tag.isEmpty() || dictionaries.isCorrect(w.text, tag))
            continue;
        out.push_back(w);
        out.back().language = tag;
    }
    return out;
}

} // namespace spelling
