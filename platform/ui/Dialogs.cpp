#include "platform/ui/Dialogs.h"

#include "platform/core/TypInfo.h"
#include "platform/ui/Application.h"
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

std::unique_ptr<TMessageForm> CreateMessageDialog(const QString& Msg, TMsgDlgType DlgType,
                                                  TMsgDlgButtons Buttons)
{
    struct ButtonInfo
    {
        TMsgDlgBtn Button;
        const char* Name;
        TPlatformText Caption;
        TModalResult Result;
    };
    static constexpr ButtonInfo buttons[] = {
        {mbYes, "Yes", TPlatformText::MsgDlgYes, mrYes},
        {mbNo, "No", TPlatformText::MsgDlgNo, mrNo},
        {mbOK, "OK", TPlatformText::MsgDlgOK, mrOk},
        {mbCancel, "Cancel", TPlatformText::MsgDlgCancel, mrCancel},
        {mbAbort, "Abort", TPlatformText::MsgDlgAbort, mrAbort},
        {mbRetry, "Retry", TPlatformText::MsgDlgRetry, mrRetry},
        {mbIgnore, "Ignore", TPlatformText::MsgDlgIgnore, mrIgnore},
        {mbAll, "All", TPlatformText::MsgDlgAll, mrAll},
        {mbNoToAll, "NoToAll", TPlatformText::MsgDlgNoToAll, mrNoToAll},
        {mbYesToAll, "YesToAll", TPlatformText::MsgDlgYesToAll, mrYesToAll},
    };
    static constexpr TPlatformText captions[] = {
        TPlatformText::MsgDlgWarning, TPlatformText::MsgDlgError, TPlatformText::MsgDlgInformation,
        TPlatformText::MsgDlgConfirm};
    auto form = std::make_unique<TMessageForm>(nullptr);
    form->SetCaption(DlgType == mtCustom ? (Application ? Application->Title() : QString())
                                         : PlatformText(captions[DlgType]));
    form->Message->SetCaption(Msg);
    const TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : mbYes;
    const TMsgDlgBtn cancelButton = Buttons.Contains(mbCancel) ? mbCancel
                                    : Buttons.Contains(mbNo)   ? mbNo
                                                               : mbOK;
    TButton* first = nullptr;
    bool hasDefault = false;
    for (const ButtonInfo& b : buttons) {
        if (!Buttons.Contains(b.Button))
            continue;
        TButton* button =
            form->AddButton(QString::fromLatin1(b.Name), PlatformText(b.Caption), b.Result);
        if (!first)
            first = button;
        button->SetDefault(b.Button == defaultButton);
        hasDefault = hasDefault || b.Button == defaultButton;
        button->SetCancel(b.Button == cancelButton);
        if (b.Button == defaultButton)
            form->SetActiveControl(button);
    }
    if (first && !hasDefault)
        first->SetDefault(true);
    form->Arrange();
    return form;
}

int MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    return CreateMessageDialog(Msg, DlgType, Buttons)->ShowModal();
}

void ShowMessage(const QString& Msg)
{
    CreateMessageForm(Msg, Application ? Application->Title() : QString())->ShowModal();
}

} // namespace vyn
