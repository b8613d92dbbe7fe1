#pragma once

#include "platform/db/Fields.h"

#include <memory>

namespace vyn {

// A small-integer field that stores a code and shows line `code` of Values as its text. Text
// typed into a control is turned back into the code of the first line that matches it.
class TVynListField : public TSmallintField
{
    VYN_CLASS(TVynListField, TSmallintField)
public:
    explicit TVynListField(TComponent* AOwner);
    ~TVynListField() override;

    TStrings* Values() const { return m_values.get(); }
    // Copies the lines; MaxValue follows; bound controls show the new texts at once.
    void SetValues(TStrings* Value);

    void SetAsString(const QString& Value) override;
    void SetAsInteger(int Value) override;

protected:
    QString GetAsString() const override;
    void GetText(QString& Text, bool DisplayText) const override;
    void ReadState() override;

private:
    // MinValue is always 0 and MaxValue follows the list: neither is set from outside.
    using TIntegerField::SetMaxValue;
    using TIntegerField::SetMinValue;
    void UpdateMaxValue();
    QString CodeText() const;

    std::unique_ptr<TStringList> m_values = std::make_unique<TStringList>();
};

} // namespace vyn
