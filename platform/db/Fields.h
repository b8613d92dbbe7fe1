#pragma once

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Strings.h"
#include "platform/core/Variant.h"
#include "platform/db/DB.h"

#include <QDateTime>
#include <memory>
#include <vector>

namespace vyn {

class TDataSet;
class TField;
class TStream;

// ---------------------------------------------------------------------------------------------
// Field definitions: the physical columns of a table.

class TFieldDef
{
public:
    TFieldDef() = default;
    TFieldDef(QString name, TFieldType type, int size = 0, bool required = false)
        : Name(std::move(name)), DataType(type), Size(size), Required(required)
    {}
    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false;
    int FieldNo = 0; // 1-based position in the table
};

class TFieldDefs
{
public:
    int Count() const { return int(m_defs.size()); }
    const TFieldDef& Items(int Index) const { return m_defs.at(size_t(Index)); }
    TFieldDef& Items(int Index) { return m_defs.at(size_t(Index)); }
    // Adds a definition; a name used twice raises EDatabaseError.
    TFieldDef& Add(const QString& Name, TFieldType DataType, int Size = 0, bool Required = false);
    void Clear() { m_defs.clear(); }
    int IndexOf(const QString& Name) const;
    const TFieldDef* Find(const QString& Name) const;
    void Assign(const TFieldDefs& Other) { m_defs = Other.m_defs; }

private:
    std::vector<TFieldDef> m_defs;
};

// ---------------------------------------------------------------------------------------------

using TFieldNotifyEvent = Event<void(TField* Sender)>;
using TFieldGetTextEvent = Event<void(TField* Sender, QString& Text, bool DisplayText)>;
using TFieldSetTextEvent = Event<void(TField* Sender, const QString& Text)>;

// A field of a dataset: reads and writes one value of the current record.
class TField : public TComponent
{
    VYN_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* AOwner);
    ~TField() override;

    TDataSet* DataSet() const { return m_dataSet; }
    // Joins Value's Fields list (leaving the old one). Not while the dataset is open.
    virtual void SetDataSet(TDataSet* Value);

    QString FieldName() const { return m_fieldName; }
    void SetFieldName(const QString& Value);
    // Position of the physical column (1-based); 0 for calculated and lookup fields.
    int FieldNo() const { return m_fieldNo; }
    int Index() const;
    TFieldType DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    virtual void SetSize(int Value);
    TFieldKind FieldKind() const { return m_fieldKind; }
    void SetFieldKind(TFieldKind Value);

    // A lookup field shows LookupResultField of the record of LookupDataSet whose
    // LookupKeyFields equal this record's KeyFields (";"-separated lists).
    TDataSet* LookupDataSet() const { return m_lookupDataSet; }
    void SetLookupDataSet(TDataSet* Value);
    QString KeyFields() const { return m_keyFields; }
    void SetKeyFields(const QString& Value) { m_keyFields = Value; }
    QString LookupKeyFields() const { return m_lookupKeyFields; }
    void SetLookupKeyFields(const QString& Value) { m_lookupKeyFields = Value; }
    QString LookupResultField() const { return m_lookupResultField; }
    void SetLookupResultField(const QString& Value) { m_lookupResultField = Value; }
    bool Lookup() const { return m_fieldKind == fkLookup; }

    QString DisplayLabel() const { return m_displayLabel; }
    void SetDisplayLabel(const QString& Value);
    // The label, or the field name when there is none: how messages name the field.
    QString DisplayName() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    int DisplayWidth() const;
    void SetDisplayWidth(int Value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value);
    bool Required() const { return m_required; }
    void SetRequired(bool Value) { m_required = Value; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);

    // Values of the current record.
    bool IsNull() const;
    void Clear() { SetData(nullptr); }
    Variant Value() const { return AsVariant(); }
    void SetValue(const Variant& V) { SetAsVariant(V); }
    Variant AsVariant() const { return GetAsVariant(); }
    QString AsString() const { return GetAsString(); }
    std::int64_t AsLargeInt() const;
    int AsInteger() const { return GetAsInteger(); }
    double AsFloat() const { return GetAsFloat(); }
    bool AsBoolean() const { return GetAsBoolean(); }
    QDateTime AsDateTime() const { return GetAsDateTime(); }
    QByteArray AsBytes() const;

    virtual void SetAsVariant(const Variant& Value);
    virtual void SetAsString(const QString& Value);
    virtual void SetAsInteger(int Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsBoolean(bool Value);
    virtual void SetAsDateTime(const QDateTime& Value);

    // The text an edit control shows (Text) and a grid or label shows (DisplayText).
    QString Text() const;
    QString DisplayText() const;
    void SetText(const QString& Value);

    virtual bool IsValidChar(QChar Ch) const;
    virtual bool IsBlob() const { return false; }
    // False for a field with no physical column, a read-only field, or an unmodifiable dataset.
    virtual bool CanModify() const;

    // The value in its native form: DataSize bytes. GetData returns false (and writes nothing)
    // for Null; SetData(nullptr) makes the field Null.
    virtual int DataSize() const { return 0; }
    bool GetData(void* Buffer) const;
    void SetData(const void* Buffer);

    // Tells the dataset the field's value changed: OnChange fires, bound controls show it.
    void DataChanged();
    void FocusControl();

    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;

    // Raw access for the dataset: the stored value of the current record.
    bool GetValueRaw(Variant& Value) const;
    void SetValueRaw(const Variant& Value);
    // Turns a stored value into the field's own type; raises for values it cannot hold.
    virtual Variant Normalize(const Variant& Value) const { return Value; }
    // Native bytes of a non-null value, and back.
    virtual QByteArray ToNative(const Variant& Value) const;
    virtual Variant FromNative(const QByteArray& Bytes) const;

    void Validate(); // fires OnValidate
    void Change();   // fires OnChange

protected:
    virtual Variant GetAsVariant() const;
    virtual QString GetAsString() const;
    virtual int GetAsInteger() const;
    virtual double GetAsFloat() const;
    virtual bool GetAsBoolean() const;
    virtual QDateTime GetAsDateTime() const;
    virtual void GetText(QString& Text, bool DisplayText) const;
    virtual void SetTextValue(const QString& Value);
    virtual int DefaultDisplayWidth() const { return 10; }

    [[noreturn]] void ConvertError(const QString& TypeName) const;
    [[noreturn]] void InvalidValue() const;
    void SetDataType(TFieldType Value) { m_dataType = Value; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    TDataSet* m_dataSet = nullptr;
    TDataSet* m_lookupDataSet = nullptr;
    QString m_keyFields, m_lookupKeyFields, m_lookupResultField;
    QString m_fieldName;
    QString m_displayLabel;
    int m_fieldNo = 0;
    int m_slot = -1; // position of the value in a record buffer, while the dataset is open
    int m_size = 0;
    int m_displayWidth = 0;
    TFieldType m_dataType = ftUnknown;
    TFieldKind m_fieldKind = fkData;
    TAlignment m_alignment = taLeftJustify;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_required = false;
    bool m_validating = false;
};

class TStringField : public TField
{
    VYN_CLASS(TStringField, TField)
public:
    explicit TStringField(TComponent* AOwner);
    int DataSize() const override { return Size() * 4 + 1; }
    Variant Normalize(const Variant& Value) const override;
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    int DefaultDisplayWidth() const override { return Size() > 0 ? Size() : 20; }
};

// Numbers: right-aligned, with optional display and edit formats.
class TNumericField : public TField
{
    VYN_CLASS(TNumericField, TField)
public:
    explicit TNumericField(TComponent* AOwner);
    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& Value);
    QString EditFormat() const { return m_editFormat; }
    void SetEditFormat(const QString& Value);

private:
    QString m_displayFormat;
    QString m_editFormat;
};

class TIntegerField : public TNumericField
{
    VYN_CLASS(TIntegerField, TNumericField)
public:
    explicit TIntegerField(TComponent* AOwner);
    // Both 0: the range of the field's type.
    int MinValue() const { return m_minValue; }
    void SetMinValue(int Value) { m_minValue = Value; }
    int MaxValue() const { return m_maxValue; }
    void SetMaxValue(int Value) { m_maxValue = Value; }

    void SetAsInteger(int Value) override;
    void SetAsFloat(double Value) override;
    void SetAsVariant(const Variant& Value) override;
    void SetAsString(const QString& Value) override;
    bool IsValidChar(QChar Ch) const override;
    int DataSize() const override { return 4; }
    Variant Normalize(const Variant& Value) const override;
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    // Raises the range error unless MinValue <= Value <= MaxValue.
    void CheckRange(std::int64_t Value) const;
    virtual std::int64_t TypeMin() const { return -2147483647LL - 1; }
    virtual std::int64_t TypeMax() const { return 2147483647LL; }
    void GetText(QString& Text, bool DisplayText) const override;
    int DefaultDisplayWidth() const override { return 11; }

private:
    int m_minValue = 0;
    int m_maxValue = 0;
};

class TSmallintField : public TIntegerField
{
    VYN_CLASS(TSmallintField, TIntegerField)
public:
    explicit TSmallintField(TComponent* AOwner);
    int DataSize() const override { return 2; }
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    std::int64_t TypeMin() const override { return -32768; }
    std::int64_t TypeMax() const override { return 32767; }
    int DefaultDisplayWidth() const override { return 6; }
};

// A key the database gives on post.
class TAutoIncField : public TIntegerField
{
    VYN_CLASS(TAutoIncField, TIntegerField)
public:
    explicit TAutoIncField(TComponent* AOwner);
};

class TFloatField : public TNumericField
{
    VYN_CLASS(TFloatField, TNumericField)
public:
    explicit TFloatField(TComponent* AOwner);
    int Precision() const { return m_precision; }
    void SetPrecision(int Value) { m_precision = Value; }
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override { SetAsFloat(Value); }
    void SetAsString(const QString& Value) override;
    bool IsValidChar(QChar Ch) const override;
    int DataSize() const override { return 8; }
    Variant Normalize(const Variant& Value) const override;
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    void GetText(QString& Text, bool DisplayText) const override;

private:
    int m_precision = 15;
};

class TBooleanField : public TField
{
    VYN_CLASS(TBooleanField, TField)
public:
    explicit TBooleanField(TComponent* AOwner);
    // "True;False": the texts shown and accepted.
    QString DisplayValues() const { return m_displayValues; }
    void SetDisplayValues(const QString& Value) { m_displayValues = Value; }
    void SetAsBoolean(bool Value) override;
    void SetAsString(const QString& Value) override;
    int DataSize() const override { return 2; }
    Variant Normalize(const Variant& Value) const override;
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    QString GetAsString() const override;
    int DefaultDisplayWidth() const override { return 5; }

private:
    QString m_displayValues = QStringLiteral("True;False");
};

class TDateTimeField : public TField
{
    VYN_CLASS(TDateTimeField, TField)
public:
    explicit TDateTimeField(TComponent* AOwner);
    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString& Value) { m_displayFormat = Value; }
    void SetAsDateTime(const QDateTime& Value) override;
    void SetAsString(const QString& Value) override;
    int DataSize() const override { return 8; }
    Variant Normalize(const Variant& Value) const override;
    QByteArray ToNative(const Variant& Value) const override;
    Variant FromNative(const QByteArray& Bytes) const override;

protected:
    QString GetAsString() const override;
    virtual QString DefaultFormat() const { return QStringLiteral("yyyy-MM-dd HH:mm:ss"); }
    int DefaultDisplayWidth() const override { return 19; }

private:
    QString m_displayFormat;
};

class TDateField : public TDateTimeField
{
    VYN_CLASS(TDateField, TDateTimeField)
public:
    explicit TDateField(TComponent* AOwner);
    Variant Normalize(const Variant& Value) const override;

protected:
    QString DefaultFormat() const override { return QStringLiteral("yyyy-MM-dd"); }
    int DefaultDisplayWidth() const override { return 10; }
};

// Binary content, held whole.
class TBlobField : public TField
{
    VYN_CLASS(TBlobField, TField)
public:
    explicit TBlobField(TComponent* AOwner);
    TFieldType BlobType() const { return DataType(); }
    void SetBlobType(TFieldType Value);
    bool IsBlob() const override { return true; }
    void SaveToStream(TStream* Stream) const;
    // Replaces the content with the stream's bytes from its start.
    void LoadFromStream(TStream* Stream);
    void SaveToFile(const QString& FileName) const;
    void LoadFromFile(const QString& FileName);
    void SetAsString(const QString& Value) override;
    Variant Normalize(const Variant& Value) const override;

protected:
    QString GetAsString() const override;
    void GetText(QString& Text, bool DisplayText) const override;
};

// Text held as a blob.
class TMemoField : public TBlobField
{
    VYN_CLASS(TMemoField, TBlobField)
public:
    explicit TMemoField(TComponent* AOwner);

protected:
    void GetText(QString& Text, bool DisplayText) const override;
};

// The field class for a column type.
const TClassInfo& DefaultFieldClass(TFieldType Type);

} // namespace vyn
