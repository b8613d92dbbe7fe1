#pragma once

#include "platform/core/Event.h"
#include "platform/core/Object.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vyn {

class TStream;

VYN_ENUM(TDuplicates, dupIgnore, dupAccept, dupError)

// A list of strings, each with an optional object. Descendants store the lines (a string
// list, a memo's lines, a combo box's items); the base builds everything else on a few
// primitives.
class TStrings : public TPersistent
{
    VYN_CLASS(TStrings, TPersistent)
public:
    virtual int Count() const = 0;
    virtual QString Get(int Index) const = 0;
    virtual void Put(int Index, const QString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const QString& S) = 0;
    virtual void InsertObject(int Index, const QString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    QString Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const QString& S) { Put(Index, S); }
    QString operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const QString& S);
    virtual int AddObject(const QString& S, TObject* AObject);
    void Append(const QString& S) { Add(S); }
    void AddStrings(const TStrings* Strings);
    void AddStrings(const QStringList& Strings);
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);

    // Position of the first line equal to S, ignoring case under the user's locale; -1 when
    // there is none.
    virtual int IndexOf(const QString& S) const;
    int IndexOfObject(const TObject* AObject) const;

    // The lines joined with CR LF, each line ended by it. Setting it splits on CR LF, LF or CR.
    // A list that keeps more than lines (a rich edit's paragraphs) reads formatted text here.
    QString Text() const;
    virtual void SetText(const QString& Value);
    QStringList ToStringList() const;
    bool Equals(const TStrings* Other) const;

    // Batches changes: descendants hear SetUpdateState(true) on the first BeginUpdate and
    // SetUpdateState(false) on the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    void Assign(TPersistent* Source) override;

    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream) const;

protected:
    virtual void SetUpdateState(bool Updating);
    virtual int CompareStrings(const QString& S1, const QString& S2) const;
    [[noreturn]] static void Error(const QString& Msg, int Data);

private:
    int m_updateCount = 0;
};

class TStringList : public TStrings
{
    VYN_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    explicit TStringList(const QStringList& Lines);

    int Count() const override { return int(m_items.size()); }
    QString Get(int Index) const override;
    void Put(int Index, const QString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const QString& S) override;
    int AddObject(const QString& S, TObject* AObject) override;
    void Insert(int Index, const QString& S) override;
    void InsertObject(int Index, const QString& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const QString& S) const override;

    // Binary search of a sorted list: true when S is found; Index is where it is or would go.
    bool Find(const QString& S, int& Index) const;
    virtual void Sort();

    bool Sorted() const { return m_sorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return m_duplicates; }
    void SetDuplicates(TDuplicates Value) { m_duplicates = Value; }
    bool CaseSensitive() const { return m_caseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const QString& S1, const QString& S2) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item
    {
        QString S;
        TObject* Obj = nullptr;
    };
    void CheckIndex(int Index, int Limit) const;
    void InsertItem(int Index, const QString& S, TObject* AObject);

    std::vector<Item> m_items;
    bool m_sorted = false;
    bool m_caseSensitive = false;
    TDuplicates m_duplicates = dupIgnore;
};

} // namespace vyn
