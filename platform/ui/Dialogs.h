#pragma once

// Message boxes: a small form with a text and buttons, shown through the modal entry point.

#include "platform/ui/Consts.h"
#include "platform/ui/Forms.h"

#include <memory>

namespace vyn {

class TLabel;
class TButton;

// The message box's form. Its buttons are components named after their result ("OK"), so a
// modal driver can press them by name.
class TMessageForm : public TForm
{
    VYN_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* AOwner);

    TLabel* Message = nullptr;

    // Adds a button; the first one added is the default button. Call Arrange once all are in.
    TButton* AddButton(const QString& Name, const QString& Caption, TModalResult Result);
    // Sizes the form around the text and lines the buttons up beneath it.
    void Arrange();
};

// A message box with an OK button (Enter and Escape close it too).
std::unique_ptr<TMessageForm> CreateMessageForm(const QString& Msg, const QString& Caption);

VYN_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
VYN_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
         mbYesToAll)
using TMsgDlgButtons = Set<TMsgDlgBtn>;

// A message dialog: the type's caption ("Confirm" for mtConfirmation, the application's title
// for mtCustom), the text (a line feed starts a new line) and the buttons in the order of
// TMsgDlgBtn, each named after its result ("Yes", "No", "OK", "Cancel", "Abort", "Retry",
// "Ignore", "All", "NoToAll", "YesToAll"). OK, or else Yes, is the default button; Cancel,
// or else No, or else OK, answers Escape.
std::unique_ptr<TMessageForm> CreateMessageDialog(const QString& Msg, TMsgDlgType DlgType,
                                                  TMsgDlgButtons Buttons);
// Shows the dialog through the modal entry point and returns the modal result of the button
// pressed (mrCancel for the close box). HelpCtx is kept for the toolkit's signature; there is
// no help system.
int MessageDlg(const QString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// A message box with the application's title and an OK button.
void ShowMessage(const QString& Msg);

} // namespace vyn
