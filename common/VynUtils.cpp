#include "common/VynUtils.h"

#include "platform/core/TypInfo.h"

namespace vyn {

QString GetStringProperty(TComponent* Component, const QString& Name)
{
    const TPropInfo* p = GetPropInfo(Component, Name);
    if (!p || p->Kind != TPropKind::String)
        return QString();
    return p->GetString(Component);
}

} // namespace vyn
