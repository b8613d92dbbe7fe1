#pragma once

// Shared by the user-interface tests: a fresh application per test, and a form that holds one
// of every control, read from its stored layout.

#include "platform/ui/Application.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Failing comparisons of texts and text lists show the texts.
inline void PrintTo(const QString& S, std::ostream* Os)
{
    *Os << '"' << S.toStdString() << '"';
}

namespace vyn::test {

class TSampleForm;

// Each test starts and ends its own application, so nothing leaks into the next.
class UiTest : public ::testing::Test
{
protected:
    void SetUp() override { m_app = std::make_unique<TApplication>(); }
    void TearDown() override { m_app.reset(); }
    // Shows a form and lets the window system make it the active window.
    static void ShowActive(TCustomForm* Form);
    // The application's main form, shown, with the focus in its edit.
    TSampleForm* ShowMainForm();

    std::unique_ptr<TApplication> m_app;
};

// A dialog with every control the library's forms use.
class TSampleForm : public TForm
{
    VYN_CLASS(TSampleForm, TForm)
public:
    explicit TSampleForm(TComponent* AOwner);
    // Reads another layout (for tests of bad input).
    TSampleForm(TComponent* AOwner, const QByteArray& Layout);
    ~TSampleForm() override;

    // The sample layout, with a generated bitmap in its image.
    static QByteArray Layout();

    TPanel* Panel1 = nullptr;
    TLabel* LabelMail = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label2 = nullptr;
    TBevel* Bevel1 = nullptr;
    TImage* Image1 = nullptr;
    TGroupBox* GroupBoxScope = nullptr;
    TRadioButton* RadioButtonGlobal = nullptr;
    TRadioButton* RadioButtonFromCurrent = nullptr;
    TRadioButton* RadioButtonOnlyCurrent = nullptr;
    TGroupBox* GroupBoxOrigin = nullptr;
    TRadioButton* RadioButtonFromCursor = nullptr;
    TRadioButton* RadioButtonEntire = nullptr;
    TCheckBox* CheckBoxCase = nullptr;
    TCheckBox* CheckBoxPrompt = nullptr;
    TComboBox* ComboBoxFind = nullptr;
    TComboBox* ComboBoxColor = nullptr;
    TEdit* Edit1 = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* BtnFind = nullptr;
    TButton* BtnCancel = nullptr;
    TButton* BtnFail = nullptr;

    // What the handlers saw, in order.
    QStringList Log;
    int Failures = 0; // BtnFail's OnClick fails this many more times

    void FormCreate(TObject*) { Log << QStringLiteral("create"); }
    void FormActivate(TObject*) { Log << QStringLiteral("activate ") + Name(); }
    void LabelMailClick(TObject*) { Log << QStringLiteral("mail"); }
    void RadioClick(TObject* Sender)
    {
        Log << QStringLiteral("radio ") + static_cast<TComponent*>(Sender)->Name();
    }
    void BtnFindClick(TObject*) { Log << QStringLiteral("find"); }
    void BtnFailClick(TObject*);
};

} // namespace vyn::test
