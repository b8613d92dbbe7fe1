#include "richedit/VynRich.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/db/Fields.h"

namespace vyn {

const TClassInfo& TVynDBRichEdit::StaticClassInfo()
{
    using C = TVynDBRichEdit;
    static const TClassInfo info =
        TClassBuilder<C>("TVynDBRichEdit")
            .Property("SearchGlobal", &C::SearchGlobal, &C::SetSearchGlobal)
            .Property("RecordName", &C::RecordName, &C::SetRecordName)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TVynDBRichEdit)

void BeginEditing(TVynDBRichEdit* Control)
{
    TFieldDataLink* link = TDBRichEditAccess::DataLink(Control);
    if (link->Editing())
        return;
    QString& saved = TDBRichEditAccess::DataSave(Control);
    auto clear = Finally([&saved] { saved.clear(); });
    TField* field = link->Field();
    if (field && field->IsBlob())
        saved = field->AsString();
    // Never empty: the data change that entering edit mode brings always compares, so an empty
    // field is loaded again like one that changed meanwhile.
    if (saved.isEmpty())
        saved = QStringLiteral("{}");
    link->Edit();
}

void TVynDBRichEdit::KeyPress(QChar& Key)
{
    TField* field = TDBRichEditAccess::DataLink(this)->Field();
    if (TDBRichEditAccess::MemoLoaded(this) && Key.unicode() >= 32 && field &&
        field->IsValidChar(Key))
        vyn::BeginEditing(this);
    TDBRichEdit::KeyPress(Key);
}

void TVynDBRichEdit::Loaded()
{
    TDBRichEdit::Loaded();
}

} // namespace vyn
