#include "listfield/VynList.h"

#include "dataset/VynDBFuncs.h"
#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "platform/db/DataSet.h"
#include "platform/ui/StdCtrls.h"

namespace vyn {

const TClassInfo& TVynListField::StaticClassInfo()
{
    using C = TVynListField;
    static const TClassInfo info = TClassBuilder<C>("TVynListField")
                                       .Property("Values", &C::Values, &C::SetValues)
                                       .Property("MinValue", &C::MinValue)
                                       .Property("MaxValue", &C::MaxValue)
                                       .Property("DisplayFormat", &C::DisplayFormat)
                                       .Property("EditFormat", &C::EditFormat)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TVynListField)

TVynListField::TVynListField(TComponent* AOwner) : TSmallintField(AOwner)
{
    SetAlignment(taLeftJustify);
    SetMinValue(0);
    SetMaxValue(-1);
}

TVynListField::~TVynListField() = default;

void TVynListField::UpdateMaxValue()
{
    const int last = m_values->Count() - 1;
    if (last > 32767)
        DatabaseError(
            QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                .arg(QString::number(double(last), 'g', 15), DisplayName(),
                     QStringLiteral("-32768"), QStringLiteral("32767")));
    SetMaxValue(last);
}

void TVynListField::SetValues(TStrings* Value)
{
    m_values->Assign(Value);
    UpdateMaxValue();
    if (DataSet())
        DataChanged();
}

void TVynListField::ReadState()
{
    TSmallintField::ReadState();
    UpdateMaxValue();
}

QString TVynListField::CodeText() const
{
    Variant v;
    if (!GetValueRaw(v))
        return QString();
    const std::int64_t code = v.ToInt64();
    if (code < MinValue() || code > MaxValue() || code >= m_values->Count())
        return QString();
    return m_values->Strings(int(code));
}

QString TVynListField::GetAsString() const
{
    return CodeText();
}

void TVynListField::GetText(QString& Text, bool) const
{
    Text = CodeText();
}

void TVynListField::SetAsString(const QString& Value)
{
    if (Value.isEmpty()) {
        Clear();
        return;
    }
    const int code = m_values->IndexOf(Value);
    if (code < 0)
        DatabaseError(QStringLiteral("Invalid value for field '%1'").arg(DisplayName()));
    SetAsInteger(code);
}

void TVynListField::SetAsInteger(int Value)
{
    if (Value >= 0 && Value <= MaxValue() && m_values->Strings(Value).isEmpty()) {
        Clear();
        return;
    }
    TSmallintField::SetAsInteger(Value);
}

namespace {

TSetupFieldHook SavedSetupFieldHook = nullptr;

// Gives a data value-list field the width of its longest text.
void SetupListField(TField* Field)
{
    if (SavedSetupFieldHook)
        SavedSetupFieldHook(Field);
    auto* list = dynamic_cast<TVynListField*>(Field);
    if (!list || list->FieldKind() != fkData)
        return;
    int longest = 0;
    for (int i = 0; i < list->Values()->Count(); ++i)
        longest = std::max(longest, int(list->Values()->Strings(i).size()));
    if (longest > 0)
        list->SetDisplayWidth(longest + 3);
}

// A plain combo box, no items and no parent, for a value-list field; nothing for others.
TComboBox* CreateListFieldCombo(TComponent* Owner, TField* Field)
{
    if (!dynamic_cast<TVynListField*>(Field))
        return nullptr;
    return new TComboBox(Owner);
}

void Initialize()
{
    CreateFieldComboHook = &CreateListFieldCombo;
    // Installed once per run; running the start-up again must not chain the hook to itself.
    if (SetupFieldHook != &SetupListField) {
        SavedSetupFieldHook = SetupFieldHook;
        SetupFieldHook = &SetupListField;
    }
}

const TUnitRegistration unit("VynList", {}, &Initialize, nullptr);

} // namespace

} // namespace vyn
