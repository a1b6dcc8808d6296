#include "insert/InsertForms.h"

#include "document/Forms.h"
#include "insert/ColorPicker.h"
#include "insert/LinkDialog.h"
#include "insert/MarqueeSoundDialogs.h"
#include "insert/PictureDialogs.h"
#include "insert/frmItem.h"
#include "insert/frmTable.h"

namespace insert {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("color"), [] { return new ColorPicker; });
    Forms::registerFactory(QStringLiteral("frmLnkImg"), [] { return new frmLnkImg; });
    Forms::registerFactory(QStringLiteral("frmLink"), [] { return new LinkDialog(LinkDialog::hyperlink); });
    Forms::registerFactory(QStringLiteral("frmMail"), [] { return new LinkDialog(LinkDialog::mail); });
    Forms::registerFactory(QStringLiteral("frmButton"), [] { return new LinkDialog(LinkDialog::button); });
    Forms::registerFactory(QStringLiteral("frmTable"), [] { return new frmTable; });
    Forms::registerFactory(QStringLiteral("frmItem"), [] { return new frmItem; });
    Forms::registerFactory(QStringLiteral("frmImg"), [] { return new frmImg; });
    Forms::registerFactory(QStringLiteral("frmVideo"), [] { return new frmVideo; });
    Forms::registerFactory(QStringLiteral("bgImg"), [] { return new bgImg; });
    Forms::registerFactory(QStringLiteral("mnu1"), [] { return new mnu1; });
    Forms::registerFactory(QStringLiteral("frmMrqSnd"), [] { return new frmMrqSnd; });
    Forms::registerFactory(QStringLiteral("frmMarquee"), [] { return new frmMarquee; });
    Forms::registerFactory(QStringLiteral("sound"), [] { return new sound; });
}

} // namespace insert
