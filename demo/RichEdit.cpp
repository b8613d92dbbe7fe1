#include "demo/RichEdit.h"

#include "dataset/VynDB.h"
#include "demo/fRich.h"
#include "platform/core/ScopeGuard.h"
#include "platform/db/DBTables.h"
#include "platform/ui/Application.h"

#include <QFileInfo>

namespace vyn {

void RegisterExampleAlias()
{
    if (Session->IsAlias(QStringLiteral("VynExample")))
        return;
    Session->SetConfigMode({cfmSession});
    auto reset = Finally([] { Session->SetConfigMode({cfmVirtual, cfmPersistent, cfmSession}); });
    // The program's folder, with its trailing separator.
    const QString folder = QFileInfo(Application->ExeName()).absolutePath() + QLatin1Char('/');
    Session->AddStandardAlias(QStringLiteral("VynExample"), folder, QStringLiteral("PARADOX"));
}

TForm1* StartRichEdit()
{
    Application->Initialize();
    RegisterExampleAlias();
    TForm1* form = nullptr;
    Application->CreateForm(form);
    InitVynApplication(true);
    return form;
}

} // namespace vyn
