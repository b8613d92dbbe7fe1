#pragma once

// Small components that publish a member of every kind, for tests of the component core,
// published members and layouts.

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Strings.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <vector>

namespace vyn::test {

VYN_ENUM(TTestColor, tcRed, tcGreen, tcBlue)
using TTestColors = Set<TTestColor>;
VYN_ENUM(TTestAction, taInsert, taDelete, taClone)
using TTestActions = Set<TTestAction>;

using TTestActionEvent = Event<void(TObject* Sender, TComponent* DataSet, int Code, bool& Allow)>;

// A nested persistent, like a font.
class TTestFont : public TPersistent
{
    VYN_CLASS(TTestFont, TPersistent)
public:
    QString Name() const { return m_name; }
    void SetName(const QString& v) { m_name = v; }
    int Size() const { return m_size; }
    void SetSize(int v) { m_size = v; }
    TTestColors Style() const { return m_style; }
    void SetStyle(TTestColors v) { m_style = v; }
    void Assign(TPersistent* Source) override;

private:
    QString m_name = QStringLiteral("Sans");
    int m_size = 8;
    TTestColors m_style;
};

// Every published kind, plus hooks that record what the layout reader does to it.
class TTestComponent : public TComponent
{
    VYN_CLASS(TTestComponent, TComponent)
public:
    explicit TTestComponent(TComponent* AOwner);
    ~TTestComponent() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& v) { m_caption = v; }
    int Count() const { return m_count; }
    void SetCount(int v) { m_count = v; }
    short Small() const { return m_small; }
    void SetSmall(short v) { m_small = v; }
    double Ratio() const { return m_ratio; }
    void SetRatio(double v) { m_ratio = v; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { m_enabled = v; }
    TTestColor Color() const { return m_color; }
    void SetColor(TTestColor v) { m_color = v; }
    TTestColors Colors() const { return m_colors; }
    void SetColors(TTestColors v) { m_colors = v; }
    TTestComponent* Link() const { return m_link; }
    void SetLink(TTestComponent* v);
    TStringList* Lines() const { return m_lines.get(); }
    void SetLines(TStringList* v);
    TTestFont* Font() const { return m_font.get(); }
    void SetFont(TTestFont* v) { m_font->Assign(v); }
    QByteArray Data() const { return m_data; }
    void SetData(const QByteArray& v) { m_data = v; }
    int Code() const { return m_code; }
    void SetCode(int v) { m_code = v; }

    TNotifyEvent OnChange;
    TTestActionEvent OnAction;

    std::vector<TComponent*> Children; // adopted from the layout
    int LinesSetterCalls = 0;
    bool LoadingDuringReadState = false;

    // What Loaded saw, in the order it ran: "Name:loading" or "Name:done".
    static QStringList& LoadLog();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdoptChild(TComponent* Child) override;

protected:
    void ReadState() override;

private:
    QString m_caption;
    int m_count = 0;
    short m_small = 0;
    double m_ratio = 0;
    bool m_enabled = true;
    TTestColor m_color = tcRed;
    TTestColors m_colors;
    TTestComponent* m_link = nullptr;
    std::unique_ptr<TStringList> m_lines = std::make_unique<TStringList>();
    std::unique_ptr<TTestFont> m_font = std::make_unique<TTestFont>();
    QByteArray m_data;
    int m_code = 0;
};

// Publishes "Lines" again, as a read-only count over the inherited list, and a set "Actions".
class TTestItems : public TTestComponent
{
    VYN_CLASS(TTestItems, TTestComponent)
public:
    using TTestComponent::TTestComponent;
    int LineCount() const { return Lines()->Count(); }
    TTestActions Actions() const { return m_actions; }
    void SetActions(TTestActions v) { m_actions = v; }

private:
    TTestActions m_actions{taDelete, taClone};
};

// A root with published fields and handlers, like a form.
class TTestRoot : public TComponent
{
    VYN_CLASS(TTestRoot, TComponent)
public:
    explicit TTestRoot(TComponent* AOwner) : TComponent(AOwner) {}

    TTestComponent* First = nullptr;
    TTestComponent* Second = nullptr;
    TTestItems* Items1 = nullptr;

    int Changes = 0;
    TObject* LastSender = nullptr;
    void FirstChange(TObject* Sender)
    {
        ++Changes;
        LastSender = Sender;
    }
    void ActionHandler(TObject*, TComponent*, int Code, bool& Allow) { Allow = Code != 1; }
    void WrongSignature(int) {}
};

} // namespace vyn::test
