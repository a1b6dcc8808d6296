#include "formatting/FormattingForms.h"

#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "formatting/AnchorDialogs.h"
#include "formatting/FontDialogs.h"
#include "formatting/TagChoiceDialog.h"
#include "formatting/frmFormat.h"

namespace formatting {

namespace {

void setTextBoxEnabled(const char* dialog, bool enabled)
{
    if (QWidget* d = Forms::load(QLatin1String(dialog)))
        if (auto* box = d->findChild<QWidget*>(QStringLiteral("Text1")))
            box->setEnabled(enabled);
}

} // namespace

void registerForms()
{
    Forms::registerFactory(QStringLiteral("frmFormat"), [] { return new frmFormat; });
    Forms::registerFactory(QStringLiteral("frmHeading"),
                           [] { return new TagChoiceDialog(TagChoiceDialog::heading); });
    Forms::registerFactory(QStringLiteral("frmStyle"),
                           [] { return new TagChoiceDialog(TagChoiceDialog::style); });
    Forms::registerFactory(QStringLiteral("frmFontSize"), [] { return new frmFontSize; });
    Forms::registerFactory(QStringLiteral("frmFColor"), [] { return new frmFColor; });
    Forms::registerFactory(QStringLiteral("frmTrgLnk"), [] { return new frmTrgLnk; });
    Forms::registerFactory(QStringLiteral("frmTarget"), [] { return new frmTarget; });
    Forms::registerFactory(QStringLiteral("frmJump"), [] { return new frmJump; });
}

void openFormatPalette()
{
    setTextBoxEnabled("frmStyle", false);
    setTextBoxEnabled("frmHeading", false);
    // With no document open there is no selection either: the boxes take typed text.
    const frmDocument* doc = workspace::activeDocument();
    if (!doc || doc->editor()->selText().isEmpty()) {
        setTextBoxEnabled("frmStyle", true);
        setTextBoxEnabled("frmHeading", true);
    }
    Forms::show(QStringLiteral("frmFormat"));
}

} // namespace formatting
