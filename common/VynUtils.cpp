#include "common/VynUtils.h"

#include "platform/core/TypInfo.h"
#include "platform/ui/Controls.h"

namespace vyn {

QString GetStringProperty(TComponent* Component, const QString& Name)
{
    const TPropInfo* p = GetPropInfo(Component, Name);
    if (!p || p->Kind != TPropKind::String)
        return QString();
    return p->GetString(Component);
}

void EnterAsTab(TWinControl* Control, Word& Key)
{
    if (Key == VK_RETURN && Control)
        PostMessage(Control->Handle(), WM_KEYDOWN, VK_TAB, 0);
}

} // namespace vyn
