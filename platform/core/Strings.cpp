#include "platform/core/Strings.h"

#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/Stream.h"
#include "platform/core/TypInfo.h"

#include <QCollator>
#include <algorithm>

namespace vyn {

namespace {

// Comparison under the user's locale; case-insensitive unless asked otherwise.
int LocaleCompare(const QString& a, const QString& b, bool caseSensitive)
{
    thread_local QCollator insensitive = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    thread_local QCollator sensitive = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseSensitive);
        return c;
    }();
    return (caseSensitive ? sensitive : insensitive).compare(a, b);
}

} // namespace

const TClassInfo& TStrings::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TStrings>("TStrings").Build();
    return info;
}

void TStrings::Error(const QString& Msg, int Data)
{
    throw EStringListError(Msg.contains(QLatin1String("%1")) ? Msg.arg(Data) : Msg);
}

void TStrings::Put(int Index, const QString& S)
{
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int Index, const QString& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

int TStrings::Add(const QString& S)
{
    int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const QString& S, TObject* AObject)
{
    int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings* Strings)
{
    if (!Strings)
        return;
    BeginUpdate();
    auto done = Finally([this] { EndUpdate(); });
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::AddStrings(const QStringList& Strings)
{
    BeginUpdate();
    auto done = Finally([this] { EndUpdate(); });
    for (const QString& s : Strings)
        Add(s);
}

void TStrings::Exchange(int Index1, int Index2)
{
    BeginUpdate();
    auto done = Finally([this] { EndUpdate(); });
    const QString s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    PutObject(Index1, o2);
    Put(Index2, s1);
    PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    auto done = Finally([this] { EndUpdate(); });
    const QString s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const QString& S) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    for (int i = 0, n = Count(); i < n; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

QString TStrings::Text() const
{
    QString result;
    for (int i = 0, n = Count(); i < n; ++i) {
        result += Get(i);
        result += QLatin1String("\r\n");
    }
    return result;
}

void TStrings::SetText(const QString& Value)
{
    BeginUpdate();
    auto done = Finally([this] { EndUpdate(); });
    Clear();
    const int n = int(Value.size());
    int start = 0;
    int i = 0;
    while (i < n) {
        const QChar c = Value[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            Add(Value.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && Value[i + 1] == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        Add(Value.mid(start));
}

QStringList TStrings::ToStringList() const
{
    QStringList result;
    result.reserve(Count());
    for (int i = 0, n = Count(); i < n; ++i)
        result.append(Get(i));
    return result;
}

bool TStrings::Equals(const TStrings* Other) const
{
    if (!Other || Other->Count() != Count())
        return false;
    for (int i = 0, n = Count(); i < n; ++i)
        if (Get(i) != Other->Get(i))
            return false;
    return true;
}

void TStrings::BeginUpdate()
{
    if (m_updateCount == 0)
        SetUpdateState(true);
    ++m_updateCount;
}

void TStrings::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const QString& S1, const QString& S2) const
{
    return LocaleCompare(S1, S2, false);
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        BeginUpdate();
        auto done = Finally([this] { EndUpdate(); });
        Clear();
        AddStrings(src);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    SetText(QString::fromUtf8(Stream->ReadBytes()));
}

void TStrings::SaveToStream(TStream* Stream) const
{
    Stream->WriteBytes(Text().toUtf8());
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TStringList::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TStringList>("TStringList").Build();
    return info;
}
VYN_REGISTER_CLASS(TStringList)

TStringList::TStringList(const QStringList& Lines)
{
    AddStrings(Lines);
}

void TStringList::CheckIndex(int Index, int Limit) const
{
    if (Index < 0 || Index >= Limit)
        Error(QStringLiteral("List index out of bounds (%1)"), Index);
}

QString TStringList::Get(int Index) const
{
    CheckIndex(Index, Count());
    return m_items[size_t(Index)].S;
}

void TStringList::Put(int Index, const QString& S)
{
    if (m_sorted)
        Error(QStringLiteral("Operation not allowed on sorted list"), 0);
    CheckIndex(Index, Count());
    Changing();
    m_items[size_t(Index)].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index, Count());
    return m_items[size_t(Index)].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, Count());
    Changing();
    m_items[size_t(Index)].Obj = AObject;
    Changed();
}

int TStringList::Add(const QString& S)
{
    return AddObject(S, nullptr);
}

int TStringList::AddObject(const QString& S, TObject* AObject)
{
    int index = Count();
    if (m_sorted && Find(S, index)) {
        switch (m_duplicates) {
        case dupIgnore:
            return index;
        case dupError:
            Error(QStringLiteral("String list does not allow duplicates"), 0);
        case dupAccept:
            break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const QString& S)
{
    InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(int Index, const QString& S, TObject* AObject)
{
    if (m_sorted)
        Error(QStringLiteral("Operation not allowed on sorted list"), 0);
    CheckIndex(Index, Count() + 1);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const QString& S, TObject* AObject)
{
    Changing();
    m_items.insert(m_items.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index, Count());
    Changing();
    m_items.erase(m_items.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (m_items.empty())
        return;
    Changing();
    m_items.clear();
    Changed();
}

int TStringList::IndexOf(const QString& S) const
{
    if (!m_sorted)
        return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const QString& S, int& Index) const
{
    // Lower bound, so that among equal lines the first is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (CompareStrings(m_items[size_t(mid)].S, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareStrings(m_items[size_t(lo)].S, S) == 0;
}

void TStringList::Sort()
{
    if (Count() < 2)
        return;
    Changing();
    std::stable_sort(m_items.begin(), m_items.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.S, b.S) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (m_sorted == Value)
        return;
    if (Value)
        Sort();
    m_sorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (m_caseSensitive == Value)
        return;
    m_caseSensitive = Value;
    if (m_sorted)
        Sort();
}

int TStringList::CompareStrings(const QString& S1, const QString& S2) const
{
    return LocaleCompare(S1, S2, m_caseSensitive);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0)
        OnChanging(this);
}

} // namespace vyn
