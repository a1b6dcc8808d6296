#include "editing/WritingAids.h"

#include "document/RichEdit.h"
#include "document/WindowLayer.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/ClosingTags.h"
#include "editing/CompletionPopup.h"
#include "editing/EditingCommands.h"
#include "editing/MatchingTags.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBlock>
#include <QUrl>

namespace editing {

namespace {

const QString closeTagsKey = QStringLiteral("CloseTags");
const QString suggestKey = QStringLiteral("SuggestAsYouType");
const QString keepIndentKey = QStringLiteral("KeepIndent");

using Installed = WindowLayer<WritingOptions>;
Installed& installed() { return Installed::installed(); }
QAction* item(const char* name) { return installed().item(name); }

void showChecks() {
    const WritingOptions& o = installed().options;
    for (const auto& [name, on] :
         {std::pair{"mnuEditCloseTags", o.closeTags}, std::pair{"mnuEditSuggest", o.suggest},
          std::pair{"mnuEditKeepIndent", o.keepIndent}})
        if (QAction* a = item(name))
            a->setChecked(on);
}

void remember(const QString& key, bool on) {
    platform::SettingsStore store;
    store.writeNumber(key, on ? 1 : 0);
    store.sync();
}

// The key handling of one editor. Only spontaneous key presses count: the Return a command
// sends while inserting is a synthetic event and passes untouched.
class KeyAids : public QObject {
  public:
    static constexpr const char* name = "halvaneWritingAids";
    static KeyAids* of(RichEdit* edit) {
        auto* aids = dynamic_cast<KeyAids*>(
            edit->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly));
        return aids ? aids : new KeyAids(edit);
    }

    CompletionPopup* popup() { return &m_popup; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_edit || event->type() != QEvent::KeyPress || m_passing ||
            !event->spontaneous() || m_edit->isReadOnly())
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_popup.handleKey(key))
            return true;
        const Qt::KeyboardModifiers mods =
            key->modifiers() &
            (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (key->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
            m_popup.open(true);
            return true;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
            const QString indent = leadingSpace();
            pass(key);
            if (installed().options.keepIndent && !indent.isEmpty())
                m_edit->setSelText(indent);
            return true;
        }
        const QString text = key->text();
        if (text.size() != 1 || !text.front().isPrint() || (mods & ~Qt::ShiftModifier))
            return pass(key), m_popup.refresh(), true;
        const bool hadSelection = m_edit->textCursor().hasSelection();
        pass(key);
        if (!hadSelection) {
            if (text == QLatin1String("/"))
                completeEndTag();
            else if (text == QLatin1String(">") && installed().options.closeTags)
                closeStartTag();
        }
        m_popup.typed(text.front(), installed().options.suggest);
        return true;
    }

  private:
    explicit KeyAids(RichEdit* edit) : QObject(edit), m_edit(edit), m_popup(edit) {
        setObjectName(QLatin1String(name));
        edit->installEventFilter(this);
    }

    // Delivers the key to the editor as it would have been without the aids.
    void pass(QKeyEvent* key) {
        m_passing = true;
        QCoreApplication::sendEvent(m_edit, key);
        m_passing = false;
    }

    // The spaces and tabs the caret's line starts with, up to the caret.
    QString leadingSpace() const {
        const QTextCursor c = m_edit->textCursor();
        const QString line = c.block().text().left(c.positionInBlock());
        int n = 0;
        while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
            ++n;
        return line.left(n);
    }

    // "</" typed: the rest of the innermost open element's end tag, as a change of its own.
    void completeEndTag() {
        const QTextCursor c = m_edit->textCursor();
        if (c.positionInBlock() < 2 ||
            c.block().text().mid(c.positionInBlock() - 2, 2) != QLatin1String("</"))
            return;
        const BlockPage page(m_edit);
        const QString name = elementToClose(page, page.toPage(c.position()) - 2);
        if (!name.isEmpty())
            m_edit->setSelText(name + u'>');
    }

    // ">" of a start tag typed: its end tag after the caret, as a change of its own.
    void closeStartTag() {
        QTextCursor c = m_edit->textCursor();
        const BlockPage page(m_edit);
        const int at = page.toPage(c.position());
        const QString following = c.block().text().mid(c.positionInBlock(), 64);
        const QString name = endTagWanted(page, at, following);
        if (name.isEmpty())
            return;
        const int caret = c.position();
        m_edit->setSelText(QLatin1String("</") + name + u'>');
        c = m_edit->textCursor();
        c.setPosition(caret);
        m_edit->setTextCursor(c);
    }

    RichEdit* m_edit;
    CompletionPopup m_popup;
    bool m_passing = false;
};

} // namespace

const WritingOptions& writingOptions() {
    return installed().options;
}

void attachWritingAids(RichEdit* edit) {
    if (edit)
        KeyAids::of(edit);
}

void installWritingAids(QMdiArea* area) {
    installed().area = area;
    const platform::SettingsStore store;
    WritingOptions& o = installed().options;
    o.closeTags = store.readNumber(closeTagsKey, 1) != 0;
    o.suggest = store.readNumber(suggestKey, 1) != 0;
    o.keepIndent = store.readNumber(keepIndentKey, 0) != 0;
    for (const char* name : {"mnuEditCloseTags", "mnuEditSuggest", "mnuEditKeepIndent"})
        if (QAction* a = item(name))
            a->setCheckable(true);
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow* sub) {
        if (auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr)
            attachWritingAids(doc->editor());
    });
    for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* doc = qobject_cast<frmDocument*>(sub->widget()))
            attachWritingAids(doc->editor());
    showChecks();
}

void toggleCloseTags() {
    WritingOptions& o = installed().options;
    o.closeTags = !o.closeTags;
    remember(closeTagsKey, o.closeTags);
    showChecks();
}

void toggleSuggest() {
    WritingOptions& o = installed().options;
    o.suggest = !o.suggest;
    remember(suggestKey, o.suggest);
    showChecks();
}

void toggleKeepIndent() {
    WritingOptions& o = installed().options;
    o.keepIndent = !o.keepIndent;
    remember(keepIndentKey, o.keepIndent);
    showChecks();
}

void insertImageSizeCommand() {
    frmDocument* doc = workspace::activeDocument();
    RichEdit* edit = doc ? doc->editor() : nullptr;
    if (!edit)
        return;
    const BlockPage page(edit);
    const auto match = markup::matchingTag(page, page.toPage(edit->textCursor().position()));
    const QString tag = match ? pageText(page, match->tag.start, match->tag.end) : QString();
    static const QRegularExpression src(
        QStringLiteral(R"re(\ssrc\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>"']+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = src.match(tag);
    if (!match || match->isEndTag || !m.hasMatch()) {
        notify(QStringLiteral("Insert Image Size: the caret is in no tag with a src"));
        return;
    }
    static const QRegularExpression sized(QStringLiteral(R"(\s(width|height)\s*=)"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (sized.match(tag).hasMatch()) {
        notify(QStringLiteral("Insert Image Size: the tag already has a width or height"));
        return;
    }
    const QString pageFile = doc->windowTitle();
    if (!QFileInfo(pageFile).isAbsolute()) {
        notify(QStringLiteral(
            "Insert Image Size: save the page first, so that its images can be found"));
        return;
    }
    QString name = m.captured(1) + m.captured(2) + m.captured(3);
    name = QUrl::fromPercentEncoding(name.section(u'#', 0, 0).section(u'?', 0, 0).toUtf8());
    const QString path = QFileInfo(QFileInfo(pageFile).dir(), name).absoluteFilePath();
    QImageReader reader(path);
    QSize size = reader.size();
    if (!size.isValid()) {
        const QImage image = reader.read();
        size = image.size();
        if (image.isNull()) {
            notify(QStringLiteral("Insert Image Size: cannot read %1: %2")
                       .arg(QDir::toNativeSeparators(path), reader.errorString()));
            return;
        }
    }
    // Before the tag's ">" (or its "/>").
    const int end = match->tag.end - (tag.endsWith(QLatin1String("/>")) ? 2 : 1);
    QTextCursor c = edit->textCursor();
    c.setPosition(page.toDocument(end));
    edit->setTextCursor(c);
    edit->setSelText(
        QStringLiteral(" width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()));
}

void suggestNow() {
    if (RichEdit* edit = activeEditor())
        KeyAids::of(edit)->popup()->open(true);
}

} // namespace editing
