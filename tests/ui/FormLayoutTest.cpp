#include "tests/ui/UiTest.h"

#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"
#include "platform/ui/Modal.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

using namespace vyn;
using namespace vyn::test;

namespace {

QColor Background(TControl* c, QPalette::ColorRole role = QPalette::Window)
{
    return c->Widget()->palette().color(role);
}

QColor TextColor(TControl* c)
{
    return c->Widget()->palette().color(QPalette::WindowText);
}

} // namespace

class FormLayout : public UiTest
{
};

TEST_F(FormLayout, BuildsEveryControlWithTheStoredProperties)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    EXPECT_EQ(form->Log, QStringList{QStringLiteral("create")});
    EXPECT_EQ(form->Name(), QStringLiteral("SampleForm"));

    // The form: dialog frame around the stored client area, on top of other windows.
    EXPECT_EQ(form->Caption(), QStringLiteral("Search and replace"));
    EXPECT_EQ(form->Widget()->windowTitle(), QStringLiteral("Search and replace"));
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->ClientWidth(), 339);
    EXPECT_EQ(form->ClientHeight(), 330);
    EXPECT_EQ(form->Widget()->size(), QSize(339, 330));
    EXPECT_EQ(form->Widget()->minimumSize(), form->Widget()->maximumSize());
    EXPECT_TRUE(form->Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    EXPECT_EQ(form->ActiveControl(), form->ComboBoxFind);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Screen->FormCount(), 1);

    // Fonts: classic names map to Liberation fonts, sizes keep their points.
    const QFont formFont = form->Widget()->font();
    EXPECT_EQ(formFont.family(), QStringLiteral("Liberation Sans"));
    EXPECT_DOUBLE_EQ(formFont.pointSizeF(), 8.25);
    EXPECT_EQ(form->Font()->Size(), 8);
    EXPECT_TRUE(form->Edit1->ParentFont());
    EXPECT_EQ(form->Edit1->Widget()->font(), formFont);
    EXPECT_EQ(form->Label7->Widget()->font().family(), QStringLiteral("Liberation Sans"));
    EXPECT_DOUBLE_EQ(form->Label7->Widget()->font().pointSizeF(), 9.75);
    EXPECT_TRUE(form->Label7->Widget()->font().bold());
    EXPECT_EQ(form->Label2->Widget()->font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_TRUE(form->LabelMail->Widget()->font().underline());
    EXPECT_FALSE(form->LabelMail->ParentFont());

    // Colours, named and system ones.
    EXPECT_EQ(TextColor(form->LabelMail), QColor(0, 0, 255));
    EXPECT_EQ(TextColor(form->Label7), QColor(0, 0, 128));
    EXPECT_EQ(TextColor(form->Label2), QColor(128, 128, 128));
    EXPECT_EQ(form->Panel1->Color(), clWhite);
    EXPECT_EQ(Background(form->Panel1), QColor(Qt::white));
    EXPECT_TRUE(form->Panel1->Widget()->autoFillBackground());
    EXPECT_EQ(form->Memo1->Color(), clInfoBk);
    EXPECT_EQ(Background(form->Memo1, QPalette::Base), QColor(255, 255, 225));
    EXPECT_TRUE(form->LabelMail->ParentColor());
    EXPECT_EQ(form->LabelMail->Color(), clWhite);

    // A label's click, on the release of a press made on it.
    ClickControl(form->LabelMail);
    EXPECT_EQ(form->Log, (QStringList{"create", "mail"}));

    // Cursor, hint.
    EXPECT_EQ(form->LabelMail->Widget()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form->CheckBoxCase->Widget()->toolTip(),
              QStringLiteral("Match upper and lower case"));

    // Align: the top panel spans the client width whatever its stored width.
    EXPECT_EQ(form->Panel1->Width(), 339);
    EXPECT_EQ(form->Panel1->Widget()->geometry(), QRect(0, 0, 339, 74));

    // Labels size to their text; a right-justified one keeps its right edge.
    EXPECT_EQ(form->Label7->Left() + form->Label7->Width(), 190 + 137);
    EXPECT_NE(form->Label7->Width(), 137);
    EXPECT_EQ(form->Label2->Caption(),
              QStringLiteral("Popup menu of the editor \r\n \r\nshortcuts."));
    auto* label2 = static_cast<QLabel*>(form->Label2->Widget());
    EXPECT_EQ(label2->text(), QStringLiteral("Popup menu of the editor \n \nshortcuts."));
    EXPECT_GT(form->Label2->Height(), 3 * QFontMetrics(label2->font()).height() - 2);
    EXPECT_TRUE(label2->alignment().testFlag(Qt::AlignLeft));
    EXPECT_TRUE(static_cast<QLabel*>(form->Label7->Widget())->alignment().testFlag(Qt::AlignRight));

    // Bevel and image.
    EXPECT_EQ(form->Bevel1->Shape(), bsBottomLine);
    EXPECT_EQ(form->Image1->Picture()->Width(), 24);
    EXPECT_TRUE(form->Image1->IncrementalDisplay());
    EXPECT_EQ(form->Image1->Picture()->Image().pixelColor(12, 12), QColor(255, 255, 0));

    // Group boxes hold their radio buttons, positioned inside them.
    EXPECT_EQ(form->RadioButtonGlobal->Parent(), form->GroupBoxScope);
    EXPECT_EQ(form->RadioButtonGlobal->Widget()->parentWidget(), form->GroupBoxScope->Widget());
    EXPECT_EQ(form->RadioButtonGlobal->Widget()->geometry(), QRect(7, 17, 178, 17));
    EXPECT_TRUE(form->RadioButtonFromCurrent->Checked());
    EXPECT_FALSE(form->RadioButtonGlobal->Checked());
    EXPECT_TRUE(form->RadioButtonFromCursor->Checked());
    EXPECT_TRUE(form->RadioButtonFromCurrent->TabStop());
    EXPECT_FALSE(form->RadioButtonGlobal->TabStop());
    EXPECT_EQ(form->Log.size(), 2); // no radio button clicks while loading

    EXPECT_TRUE(form->CheckBoxPrompt->Checked());
    EXPECT_FALSE(form->CheckBoxCase->Checked());

    // Combo boxes: an editable one and a list.
    EXPECT_TRUE(form->ComboBoxFind->ComboBox()->isEditable());
    EXPECT_EQ(form->ComboBoxFind->ItemHeight(), 13);
    EXPECT_EQ(form->ComboBoxFind->Items()->Count(), 0);
    EXPECT_FALSE(form->ComboBoxColor->ComboBox()->isEditable());
    EXPECT_EQ(
        form->ComboBoxColor->Items()->ToStringList(),
        (QStringList{QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")}));
    EXPECT_EQ(form->ComboBoxColor->ItemIndex(), -1);
    EXPECT_EQ(form->ComboBoxColor->ComboBox()->maxVisibleItems(), 5);

    // Edits.
    EXPECT_EQ(form->Edit1->Text(), QStringLiteral("hello world"));
    EXPECT_FALSE(form->Edit1->Modified());
    EXPECT_EQ(form->Memo1->Lines()->Count(), 2);
    EXPECT_EQ(form->Memo1->Text(), QStringLiteral("first line\r\nsecond line"));
    EXPECT_TRUE(form->Memo1->Editor()->isReadOnly());

    // Buttons.
    EXPECT_TRUE(form->BtnFind->Default());
    EXPECT_EQ(form->BtnFind->ModalResult(), mrOk);
    EXPECT_TRUE(form->BtnCancel->Cancel());
    EXPECT_EQ(form->BtnCancel->ModalResult(), mrCancel);

    // Tab order: the stored numbers, group boxes' buttons inside their box.
    form->Show();
    std::vector<TWinControl*> order;
    for (TWinControl* c = form->FindNextControl(nullptr, true, false);
         c && order.size() < 20 && (order.empty() || c != order.front());
         c = form->FindNextControl(c, true, false))
        order.push_back(c);
    const std::vector<TWinControl*> expected = {form->ComboBoxFind,
                                                form->ComboBoxColor,
                                                form->CheckBoxCase,
                                                form->RadioButtonGlobal,
                                                form->RadioButtonFromCurrent,
                                                form->RadioButtonOnlyCurrent,
                                                form->RadioButtonFromCursor,
                                                form->RadioButtonEntire,
                                                form->CheckBoxPrompt,
                                                form->Edit1,
                                                form->Memo1,
                                                form->BtnFind,
                                                form->BtnFail,
                                                form->BtnCancel};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(form->GroupBoxScope->TabOrder(), 3);
    EXPECT_EQ(form->Panel1->TabOrder(), 6);
}

TEST_F(FormLayout, ShowingCentresTheFormAndFocusesItsActiveControl)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    ShowActive(form.get());
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Left(), (Screen->Width() - form->Width()) / 2);
    EXPECT_EQ(form->Top(), (Screen->Height() - form->Height()) / 2);
    EXPECT_EQ(Screen->ActiveForm(), form.get());
    EXPECT_EQ(Screen->ActiveControl(), form->ComboBoxFind);
    EXPECT_TRUE(form->ComboBoxFind->Focused());
    form->Edit1->SetFocus();
    EXPECT_EQ(Screen->ActiveControl(), form->Edit1);
    EXPECT_EQ(form->ActiveControl(), form->Edit1);
    EXPECT_TRUE(form->Edit1->Focused());
}

TEST_F(FormLayout, BadInputFailsWithAClearReadError)
{
    struct Case
    {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"object Edit1: TEdit", "object Edit1: TFancyEdit", "TFancyEdit"},
        {"    Text = 'hello world'", "    Txet = 'hello world'", "Txet"},
        {"    Color = clInfoBk", "    Color = clInfoBack", "clInfoBack"},
        {"    Shape = bsBottomLine", "    Shape = bsDiagonal", "bsDiagonal"},
        {"    Cursor = crHandPoint", "    Cursor = crFinger", "crFinger"},
        {"      Font.Style = [fsUnderline]", "      Font.Style = [fsBlinking]", "fsBlinking"},
        {"    OnClick = BtnFindClick", "    OnClick = BtnSearchClick", "BtnSearchClick"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        QByteArray layout = TSampleForm::Layout();
        ASSERT_TRUE(layout.contains(c.from));
        layout.replace(c.from, c.to);
        try {
            TSampleForm form(nullptr, layout);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.message))) << e.what();
            EXPECT_TRUE(e.Message().contains(QLatin1String("SampleForm"))) << e.what();
        }
        // Nothing of the failed form is left behind.
        EXPECT_EQ(Screen->FormCount(), 0);
    }
}

TEST_F(FormLayout, RendersTheSampleFormOffscreen)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    form->ComboBoxFind->SetText(QStringLiteral("needle"));
    form->ComboBoxColor->SetItemIndex(2);
    form->Show();
    const QImage image = form->Widget()->grab().toImage();
    const QString path = QDir(QStringLiteral(VYN_UI_TEST_OUTPUT_DIR)).filePath("SampleForm.png");
    ASSERT_TRUE(image.save(path));

    EXPECT_EQ(image.size(), QSize(339, 330));
    const qreal ratio = image.devicePixelRatio();
    auto at = [&](int x, int y) { return image.pixelColor(int(x * ratio), int(y * ratio)); };
    EXPECT_EQ(at(300, 40), QColor(Qt::white));                 // the white top panel
    EXPECT_EQ(at(100, 124), ColorToQColor(clBtnFace));         // the form
    EXPECT_EQ(at(330, 280), QColor(255, 255, 225));            // the memo's info colour
    EXPECT_EQ(at(4 + 12, 4 + 12), QColor(255, 255, 0));        // the image's centre
    EXPECT_EQ(at(200, 64 + 7), ColorToQColor(clBtnShadow));    // the bevel's line
    EXPECT_EQ(at(200, 64 + 8), ColorToQColor(clBtnHighlight)); // and its light edge
}
