#include "tests/ui/UiTest.h"

#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <QtEndian>

namespace vyn::test {

void UiTest::ShowActive(TCustomForm* Form)
{
    Form->Show();
    Form->Widget()->activateWindow();
    QCoreApplication::processEvents();
}

TSampleForm* UiTest::ShowMainForm()
{
    TSampleForm* main = nullptr;
    m_app->CreateForm(main);
    ShowActive(main);
    main->Edit1->SetFocus();
    return main;
}

namespace {

const char* const SampleLayout = R"(object SampleForm: TSampleForm
  Left = 245
  Top = 108
  BorderStyle = bsDialog
  Caption = 'Search and replace'
  ClientHeight = 330
  ClientWidth = 339
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  FormStyle = fsStayOnTop
  OldCreateOrder = False
  Position = poScreenCenter
  ShowHint = True
  ActiveControl = ComboBoxFind
  OnActivate = FormActivate
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 13
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 74
    Align = alTop
    BevelOuter = bvNone
    Color = clWhite
    TabOrder = 6
    object LabelMail: TLabel
      Left = 46
      Top = 4
      Width = 83
      Height = 13
      Cursor = crHandPoint
      Caption = 'mail@example.org'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clBlue
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = [fsUnderline]
      ParentFont = False
      OnClick = LabelMailClick
    end
    object Label7: TLabel
      Left = 190
      Top = 4
      Width = 137
      Height = 16
      Alignment = taRightJustify
      Caption = 'Rapid development'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clNavy
      Font.Height = -13
      Font.Name = 'Arial'
      Font.Style = [fsBold]
      ParentFont = False
    end
    object Label2: TLabel
      Left = 46
      Top = 22
      Width = 228
      Height = 40
      Caption = 'Popup menu of the editor '#13#10' '#13#10'shortcuts.'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clInactiveCaption
      Font.Height = -11
      Font.Name = 'Times New Roman'
      Font.Style = []
      ParentFont = False
    end
    object Bevel1: TBevel
      Left = 8
      Top = 64
      Width = 322
      Height = 9
      Shape = bsBottomLine
    end
    object Image1: TImage
      Left = 4
      Top = 4
      Width = 24
      Height = 24
      IncrementalDisplay = True
      Picture.Data = {IMAGE}
    end
  end
  object GroupBoxScope: TGroupBox
    Left = 5
    Top = 129
    Width = 188
    Height = 88
    Caption = 'Scope'
    TabOrder = 3
    object RadioButtonGlobal: TRadioButton
      Left = 7
      Top = 17
      Width = 178
      Height = 17
      Caption = 'Global'
      TabOrder = 0
      OnClick = RadioClick
    end
    object RadioButtonFromCurrent: TRadioButton
      Left = 7
      Top = 33
      Width = 179
      Height = 17
      Caption = 'From current topic'
      Checked = True
      TabOrder = 1
      TabStop = True
      OnClick = RadioClick
    end
    object RadioButtonOnlyCurrent: TRadioButton
      Left = 7
      Top = 49
      Width = 179
      Height = 17
      Caption = 'Only current topic'
      TabOrder = 2
      OnClick = RadioClick
    end
  end
  object GroupBoxOrigin: TGroupBox
    Left = 198
    Top = 129
    Width = 136
    Height = 88
    Caption = 'Origin'
    TabOrder = 4
    object RadioButtonEntire: TRadioButton
      Left = 6
      Top = 48
      Width = 128
      Height = 17
      Caption = 'Entire scope'
      TabOrder = 1
    end
    object RadioButtonFromCursor: TRadioButton
      Left = 6
      Top = 21
      Width = 128
      Height = 19
      Caption = 'From cursor'
      Checked = True
      TabOrder = 0
      TabStop = True
    end
  end
  object CheckBoxCase: TCheckBox
    Left = 13
    Top = 80
    Width = 148
    Height = 17
    Hint = 'Match upper and lower case|Tells capitals from small letters'
    Caption = 'Case sensitive'
    TabOrder = 2
  end
  object CheckBoxPrompt: TCheckBox
    Left = 13
    Top = 100
    Width = 148
    Height = 17
    Caption = 'Prompt on replace'
    Checked = True
    State = cbChecked
    TabOrder = 5
  end
  object ComboBoxFind: TComboBox
    Left = 170
    Top = 78
    Width = 166
    Height = 21
    ItemHeight = 13
    TabOrder = 0
  end
  object ComboBoxColor: TComboBox
    Left = 170
    Top = 102
    Width = 166
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    Items.Strings = (
      'Red'
      'Green'
      'Blue')
    DropDownCount = 5
    TabOrder = 1
  end
  object Edit1: TEdit
    Left = 5
    Top = 222
    Width = 150
    Height = 21
    TabOrder = 7
    Text = 'hello world'
  end
  object Memo1: TMemo
    Left = 160
    Top = 222
    Width = 174
    Height = 66
    Color = clInfoBk
    Lines.Strings = (
      'first line'
      'second line')
    ReadOnly = True
    TabOrder = 8
  end
  object BtnFind: TButton
    Left = 6
    Top = 298
    Width = 70
    Height = 25
    Caption = '&Find'
    Default = True
    ModalResult = 1
    TabOrder = 9
    OnClick = BtnFindClick
  end
  object BtnFail: TButton
    Left = 82
    Top = 298
    Width = 70
    Height = 25
    Caption = 'Fail'
    ModalResult = 6
    TabOrder = 10
    OnClick = BtnFailClick
  end
  object BtnCancel: TButton
    Left = 243
    Top = 298
    Width = 70
    Height = 25
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 11
  end
end
)";

// A 24 by 24 bitmap in the classic picture data: class name, size, then the BMP file.
QByteArray BitmapData()
{
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 0));
    QPainter p(&image);
    p.fillRect(6, 6, 12, 12, QColor(255, 255, 0));
    p.end();
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    QByteArray data;
    data.append(char(7)).append("TBitmap");
    quint32 size = qToLittleEndian(quint32(bmp.size()));
    data.append(reinterpret_cast<const char*>(&size), 4);
    data.append(bmp);
    return data;
}

} // namespace

QByteArray TSampleForm::Layout()
{
    QByteArray text(SampleLayout);
    return text.replace("IMAGE", BitmapData().toHex().toUpper());
}

const TClassInfo& TSampleForm::StaticClassInfo()
{
    using C = TSampleForm;
    static const TClassInfo info = TClassBuilder<C>("TSampleForm")
                                       .Field("Panel1", &C::Panel1)
                                       .Field("LabelMail", &C::LabelMail)
                                       .Field("Label7", &C::Label7)
                                       .Field("Label2", &C::Label2)
                                       .Field("Bevel1", &C::Bevel1)
                                       .Field("Image1", &C::Image1)
                                       .Field("GroupBoxScope", &C::GroupBoxScope)
                                       .Field("RadioButtonGlobal", &C::RadioButtonGlobal)
                                       .Field("RadioButtonFromCurrent", &C::RadioButtonFromCurrent)
                                       .Field("RadioButtonOnlyCurrent", &C::RadioButtonOnlyCurrent)
                                       .Field("GroupBoxOrigin", &C::GroupBoxOrigin)
                                       .Field("RadioButtonFromCursor", &C::RadioButtonFromCursor)
                                       .Field("RadioButtonEntire", &C::RadioButtonEntire)
                                       .Field("CheckBoxCase", &C::CheckBoxCase)
                                       .Field("CheckBoxPrompt", &C::CheckBoxPrompt)
                                       .Field("ComboBoxFind", &C::ComboBoxFind)
                                       .Field("ComboBoxColor", &C::ComboBoxColor)
                                       .Field("Edit1", &C::Edit1)
                                       .Field("Memo1", &C::Memo1)
                                       .Field("BtnFind", &C::BtnFind)
                                       .Field("BtnCancel", &C::BtnCancel)
                                       .Field("BtnFail", &C::BtnFail)
                                       .Method("FormCreate", &C::FormCreate)
                                       .Method("FormActivate", &C::FormActivate)
                                       .Method("LabelMailClick", &C::LabelMailClick)
                                       .Method("RadioClick", &C::RadioClick)
                                       .Method("BtnFindClick", &C::BtnFindClick)
                                       .Method("BtnFailClick", &C::BtnFailClick)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TSampleForm)

TSampleForm::TSampleForm(TComponent* AOwner) : TSampleForm(AOwner, Layout()) {}

TSampleForm::TSampleForm(TComponent* AOwner, const QByteArray& Text) : TForm(AOwner)
{
    CreateFromLayout(Text, QStringLiteral("SampleForm"));
}

TSampleForm::~TSampleForm() = default;

void TSampleForm::BtnFailClick(TObject*)
{
    Log << QStringLiteral("fail");
    if (Failures > 0) {
        --Failures;
        throw EDatabaseError(QStringLiteral("Record is locked by another user"));
    }
}

} // namespace vyn::test
