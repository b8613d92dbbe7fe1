#include "demo/fRich.h"

#include "platform/core/TypInfo.h"
#include "platform/ui/Desktop.h"

namespace vyn {

const TClassInfo& TForm1::StaticClassInfo()
{
    using C = TForm1;
    static const TClassInfo info = TClassBuilder<C>("TForm1")
                                       .Field("Label43", &C::Label43)
                                       .Field("Image3", &C::Image3)
                                       .Field("Label19", &C::Label19)
                                       .Field("Label67", &C::Label67)
                                       .Field("DBGrid1", &C::DBGrid1)
                                       .Field("DBNavigator1", &C::DBNavigator1)
                                       .Field("Panel1", &C::Panel1)
                                       .Field("Label8", &C::Label8)
                                       .Field("Label1", &C::Label1)
                                       .Field("LabelMail", &C::LabelMail)
                                       .Field("Label5", &C::Label5)
                                       .Field("LabelHomePage", &C::LabelHomePage)
                                       .Field("Label7", &C::Label7)
                                       .Field("Label6", &C::Label6)
                                       .Field("Bevel1", &C::Bevel1)
                                       .Field("Image1", &C::Image1)
                                       .Field("Label2", &C::Label2)
                                       .Field("VynDBRichEdit1", &C::VynDBRichEdit1)
                                       .Field("Table1", &C::Table1)
                                       .Field("Table1Id", &C::Table1Id)
                                       .Field("Table1Name", &C::Table1Name)
                                       .Field("Table1Rich", &C::Table1Rich)
                                       .Field("DataSource1", &C::DataSource1)
                                       .Method("LabelMailClick", &C::LabelMailClick)
                                       .Method("LabelHomePageClick", &C::LabelHomePageClick)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TForm1)

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    CreateFromLayout(Form1Layout(), QStringLiteral("fRich.lay"));
}

void TForm1::LabelMailClick(TObject*)
{
    ShellExecute(GetDesktopWindow(), QStringLiteral("open"),
                 QStringLiteral("mailto:") + LabelMail->Caption(), QString(), QString(),
                 SW_SHOWNORMAL);
}

void TForm1::LabelHomePageClick(TObject*)
{
    ShellExecute(GetDesktopWindow(), QStringLiteral("open"), LabelHomePage->Caption(), QString(),
                 QString(), SW_SHOWNORMAL);
}

} // namespace vyn
