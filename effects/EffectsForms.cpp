#include "effects/EffectsForms.h"

#include "document/Forms.h"
#include "effects/EffectDialogs.h"
#include "effects/EffectPalettes.h"
#include "effects/frmDynAnim.h"
#include "effects/frmLoader.h"

namespace effects {

void registerForms()
{
    Forms::registerFactory(QStringLiteral("frmVBS"), [] { return new frmVBS; });
    Forms::registerFactory(QStringLiteral("frmJava"), [] { return new frmJava; });
    Forms::registerFactory(QStringLiteral("frmDyn"), [] { return new frmDyn; });
    Forms::registerFactory(QStringLiteral("frmBTV"), [] { return new frmBTV; });
    Forms::registerFactory(QStringLiteral("frmShadow"), [] { return new frmShadow; });
    Forms::registerFactory(QStringLiteral("frmDynAnim"), [] { return new frmDynAnim; });
    Forms::registerFactory(QStringLiteral("frmLoader"), [] { return new frmLoader; });
}

} // namespace effects
