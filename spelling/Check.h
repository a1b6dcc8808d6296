#pragma once

#include "spelling/Dictionaries.h"
#include "spelling/Words.h"

#include <QSet>
#include <vector>

namespace spelling {

// The words of `words` that their language's dictionary does not know, each with `language`
// set to the dictionary it was checked against (the one to ask for suggestions). Words of a
// language without an installed dictionary are left alone, the language put in `missing`.
// An empty language is the page's own (`pageLanguage`, then the system's).
std::vector<Word> misspelt(const std::vector<Word>& words, Dictionaries& dictionaries,
                           const QString& pageLanguage, QSet<QString>* missing = nullptr);

} // namespace spelling
