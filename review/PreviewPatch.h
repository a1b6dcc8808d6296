#pragma once

#include "markup/Tags.h"

#include <QString>
#include <memory>
#include <vector>

// How the live preview brings the page it shows up to date with the source: by replacing the
// one element of the body that holds the change, or, when that is not safe, by loading the
// whole page again. Pure: it compares two texts of the page (line breaks as "\n").
namespace review {

// A text of the page as last shown, lexed once, when first asked: its start tags in order and
// a page view. (A page loaded whole again needs none of it until the next change.)
class ShownSource {
public:
    explicit ShownSource(QString text);
    ~ShownSource();

    const QString& text() const { return m_text; }
    const markup::PageView& page() const;
    struct StartTag {
        int position;  // of its "<"
        QString name;  // lower case
        int end = -1;  // just after its ">" (-1 while the page ends inside it)
    };
    const std::vector<StartTag>& startTags() const;
    // The start tag whose "<" is at `position`, or nullptr.
    const StartTag* startTagAt(int position) const;
    // How many start tags named `name` lie in [from, to).
    int countOf(const QString& name, int from, int to) const;
    // Where the index-th start tag named `name` begins, or -1.
    int positionOf(const QString& name, int index) const;

private:
    void lex() const;

    QString m_text;
    mutable std::unique_ptr<markup::PageView> m_page;
    mutable std::vector<StartTag> m_tags;
};

struct UpdatePlan {
    enum Kind { Nothing, Patch, Reload } kind = Nothing;
    QString reason;  // why the whole page loads again
    // For a patch: the `index`-th element named `tag` of the page (in document order), which
    // holds `countBefore` such elements before and `countAfter` after, becomes `html`.
    QString tag;
    int index = 0;
    int countBefore = 0;
    int countAfter = 0;
    QString html;
};

// Whether an element belongs to the page as a whole (scripts, style sheets, meta data): it
// is never replaced in place.
bool isPageWideName(const QString& name);

UpdatePlan planUpdate(const ShownSource& shown, const ShownSource& now);

} // namespace review
