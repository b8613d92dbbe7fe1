#include "platform/ui/Dialogs.h"

#include "platform/core/TypInfo.h"
#include "platform/ui/StdCtrls.h"

#include <algorithm>

namespace vyn {

const TClassInfo& TMessageForm::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TMessageForm>("TMessageForm")
                                       .Field("Message", &TMessageForm::Message)
                                       .Build();
    return info;
}

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner)
{
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    Message = new TLabel(this);
    Message->SetName(QStringLiteral("Message"));
    Message->SetParent(this);
    Message->SetShowAccelChar(false);
    Message->SetBounds(16, 16, 0, 0);
}

TButton* TMessageForm::AddButton(const QString& Name, const QString& Caption, TModalResult Result)
{
    auto* button = new TButton(this);
    button->SetName(Name);
    button->SetCaption(Caption);
    button->SetModalResult(Result);
    button->SetParent(this);
    bool first = true;
    for (int i = 0; i < ComponentCount() && first; ++i)
        if (auto* other = dynamic_cast<TButton*>(Components(i)); other && other != button)
            first = false;
    if (first) {
        button->SetDefault(true);
        SetActiveControl(button);
    }
    return button;
}

void TMessageForm::Arrange()
{
    std::vector<TButton*> buttons;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(Components(i)))
            buttons.push_back(b);
    const int gap = 8, buttonWidth = 75, buttonHeight = 25;
    const int row = int(buttons.size()) * buttonWidth + std::max(int(buttons.size()) - 1, 0) * gap;
    const int width = std::max(Message->Width(), row) + 32;
    const int top = Message->Top() + Message->Height() + 16;
    int left = (width - row) / 2;
    for (TButton* b : buttons) {
        b->SetBounds(left, top, buttonWidth, buttonHeight);
        left += buttonWidth + gap;
    }
    SetClientWidth(width);
    SetClientHeight(top + buttonHeight + 12);
}

std::unique_ptr<TMessageForm> CreateMessageForm(const QString& Msg, const QString& Caption)
{
    auto form = std::make_unique<TMessageForm>(nullptr);
    form->SetCaption(Caption);
    form->Message->SetCaption(Msg);
    TButton* ok = form->AddButton(QStringLiteral("OK"), QStringLiteral("OK"), mrOk);
    ok->SetCancel(true);
    form->Arrange();
    return form;
}

} // namespace vyn
