#pragma once

// Message boxes: a small form with a text and buttons, shown through the modal entry point.

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

} // namespace vyn
