#include "dataset/VynDBFuncs.h"

#include "platform/core/TypInfo.h"

namespace vyn {

TCreateFieldComboHook CreateFieldComboHook = nullptr;
TCreateFieldControlHook CreateFieldControlHook = nullptr;
TSetupFieldHook SetupFieldHook = nullptr;

TObject* GetObjectProperty(TComponent* Component, const QString& Name)
{
    const TPropInfo* p = GetPropInfo(Component, Name);
    if (!p)
        return nullptr;
    switch (p->Kind) {
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Persistent: return p->GetObject(Component);
    default:
        // An ordinal of another kind is no object; handing it out as one would be unsafe.
        return nullptr;
    }
}

} // namespace vyn
