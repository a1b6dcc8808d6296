#include "effects/EffectsForms.h"

#include "document/Forms.h"
#include "effects/EffectDialogs.h"
#include "effects/EffectPalettes.h"
#include "effects/frmDynAnim.h"
#include "effects/frmLoader.h"
#include "effects/frmFrame.h"
#include "effects/frmLayer.h"
#include "effects/frmScrolly.h"

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
    Forms::registerFactory(QStringLiteral("frmLayer"), [] { return new frmLayer; });
    Forms::registerFactory(QStringLiteral("frmScrolly"), [] { return new frmScrolly; });
    Forms::registerFactory(QStringLiteral("frmFrame"), [] { return new frmFrame; });
}

} // namespace effects
