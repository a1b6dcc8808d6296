#include "editing/SearchPattern.h"

namespace editing {

namespace {
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
} // namespace

SearchPattern::SearchPattern(const QString& text, SearchOptions options)
    : m_text(text), m_options(options)
{
    if (!options.regularExpression || text.isEmpty())
        return;
    QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
    if (!options.matchCase)
        flags |= QRegularExpression::CaseInsensitiveOption;
    m_regex = QRegularExpression(text, flags);
    m_valid = m_regex.isValid();
    if (!m_valid)
        m_error = QStringLiteral("%1 (at character %2)")
                      .arg(m_regex.errorString())
                      .arg(m_regex.patternErrorOffset() + 1);
    else
        m_regex.optimize();
}

bool SearchPattern::isWholeWord(const QString& line, qsizetype start, qsizetype end) const
{
    if (!m_options.wholeWords)
        return true;
    return (start == 0 || !isWordChar(line.at(start - 1))) &&
           (end >= line.size() || !isWordChar(line.at(end)));
}

Match SearchPattern::next(const QString& line, qsizetype from) const
{
    if (!usable() || from > line.size())
        return {};
    if (!m_options.regularExpression) {
        const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype at = line.indexOf(m_text, from, cs); at >= 0;
             at = line.indexOf(m_text, at + 1, cs)) {
            if (isWholeWord(line, at, at + m_text.size()))
                return {at, m_text.size(), {}};
        }
        return {};
    }
    for (qsizetype at = from; at <= line.size();) {
        QRegularExpressionMatch m = m_regex.match(line, at);
        if (!m.hasMatch())
            return {};
        const qsizetype start = m.capturedStart();
        const qsizetype end = m.capturedEnd();
        if (isWholeWord(line, start, end))
            return {start, end - start, std::move(m)};
        at = start + 1;
    }
    return {};
}

Match SearchPattern::previous(const QString& line, qsizetype before) const
{
    if (!usable() || before <= 0)
        return {};
    if (!m_options.regularExpression) {
        const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype at = line.lastIndexOf(m_text, before - 1, cs); at >= 0;
             at = at == 0 ? -1 : line.lastIndexOf(m_text, at - 1, cs)) {
            if (isWholeWord(line, at, at + m_text.size()))
                return {at, m_text.size(), {}};
        }
        return {};
    }
    Match last;
    forEach(line, [&](const Match& m) {
        if (m.start < before)
            last = m;
    });
    return last;
}

QString SearchPattern::replacement(const QString& replaceWith, const Match& match) const
{
    if (!m_options.regularExpression)
        return replaceWith;
    QString out;
    out.reserve(replaceWith.size());
    for (qsizetype i = 0; i < replaceWith.size(); ++i) {
        const QChar c = replaceWith.at(i);
        if (c != QLatin1Char('\\') || i + 1 == replaceWith.size()) {
            out += c;
            continue;
        }
        const QChar n = replaceWith.at(i + 1);
        if (n >= QLatin1Char('0') && n <= QLatin1Char('9')) {
            out += match.groups.captured(n.unicode() - u'0');
            ++i;
        } else if (n == QLatin1Char('\\')) {
            out += n;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace editing
