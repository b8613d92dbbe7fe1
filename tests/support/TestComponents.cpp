#include "tests/support/TestComponents.h"

#include "platform/core/TypInfo.h"

namespace vyn::test {

const TClassInfo& TTestFont::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TTestFont>("TTestFont")
                                       .Property("Name", &TTestFont::Name, &TTestFont::SetName)
                                       .Property("Size", &TTestFont::Size, &TTestFont::SetSize)
                                       .Property("Style", &TTestFont::Style, &TTestFont::SetStyle)
                                       .Build();
    return info;
}

void TTestFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TTestFont*>(Source)) {
        m_name = f->m_name;
        m_size = f->m_size;
        m_style = f->m_style;
        return;
    }
    TPersistent::Assign(Source);
}

static const TIdentMap CountIdents = {{QStringLiteral("cnDozen"), 12},
                                      {QStringLiteral("cnGross"), 144}};

const TClassInfo& TTestComponent::StaticClassInfo()
{
    using C = TTestComponent;
    static const TClassInfo info = TClassBuilder<C>("TTestComponent")
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Property("Count", &C::Count, &C::SetCount)
                                       .Idents(&CountIdents)
                                       .Property("Small", &C::Small, &C::SetSmall)
                                       .Property("Ratio", &C::Ratio, &C::SetRatio)
                                       .Property("Enabled", &C::Enabled, &C::SetEnabled)
                                       .Property("Color", &C::Color, &C::SetColor)
                                       .Property("Colors", &C::Colors, &C::SetColors)
                                       .Property("Link", &C::Link, &C::SetLink)
                                       .Property("Lines", &C::Lines, &C::SetLines)
                                       .Property("Font", &C::Font, &C::SetFont)
                                       .Property("Data", &C::Data, &C::SetData)
                                       .Property("Code", &C::Code)
                                       .Member("OnChange", &C::OnChange)
                                       .Member("OnAction", &C::OnAction)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TTestComponent)

TTestComponent::TTestComponent(TComponent* AOwner) : TComponent(AOwner) {}

TTestComponent::~TTestComponent() = default;

void TTestComponent::SetLink(TTestComponent* v)
{
    ChangeReference(m_link, v);
    m_link = v;
}

void TTestComponent::SetLines(TStringList* v)
{
    ++LinesSetterCalls;
    m_lines->Assign(v);
}

QStringList& TTestComponent::LoadLog()
{
    static QStringList log;
    return log;
}

void TTestComponent::Loaded()
{
    LoadLog().append(Name() + (ComponentState().Contains(csLoading) ? QStringLiteral(":loading")
                                                                    : QStringLiteral(":done")));
    TComponent::Loaded();
}

void TTestComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_link)
        m_link = nullptr;
}

void TTestComponent::AdoptChild(TComponent* Child)
{
    Children.push_back(Child);
}

void TTestComponent::ReadState()
{
    LoadingDuringReadState = ComponentState().Contains(csLoading);
}

const TClassInfo& TTestItems::StaticClassInfo()
{
    static const TClassInfo info =
        TClassBuilder<TTestItems>("TTestItems")
            .Property("Lines", &TTestItems::LineCount)
            .Property("Actions", &TTestItems::Actions, &TTestItems::SetActions)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TTestItems)

const TClassInfo& TTestRoot::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TTestRoot>("TTestRoot")
                                       .Field("First", &TTestRoot::First)
                                       .Field("Second", &TTestRoot::Second)
                                       .Field("Items1", &TTestRoot::Items1)
                                       .Method("FirstChange", &TTestRoot::FirstChange)
                                       .Method("ActionHandler", &TTestRoot::ActionHandler)
                                       .Method("WrongSignature", &TTestRoot::WrongSignature)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TTestRoot)

} // namespace vyn::test
