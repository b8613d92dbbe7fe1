#pragma once

// The demonstration program's main form.

#include "platform/db/DBTables.h"
#include "platform/dbctrls/DBGrids.h"
#include "platform/dbctrls/DBNavigator.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "richedit/VynRich.h"

namespace vyn {

class TForm1 : public TForm
{
    VYN_CLASS(TForm1, TForm)
public:
    explicit TForm1(TComponent* AOwner);

    TLabel* Label43 = nullptr;
    TImage* Image3 = nullptr;
    TLabel* Label19 = nullptr;
    TLabel* Label67 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TDBNavigator* DBNavigator1 = nullptr;
    TPanel* Panel1 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* LabelMail = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* LabelHomePage = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label6 = nullptr;
    TBevel* Bevel1 = nullptr;
    TImage* Image1 = nullptr;
    TLabel* Label2 = nullptr;
    TVynDBRichEdit* VynDBRichEdit1 = nullptr;
    TTable* Table1 = nullptr;
    TIntegerField* Table1Id = nullptr;
    TStringField* Table1Name = nullptr;
    TMemoField* Table1Rich = nullptr;
    TDataSource* DataSource1 = nullptr;

    // The address labels hand their captions to the desktop.
    void LabelMailClick(TObject* Sender);
    void LabelHomePageClick(TObject* Sender);
};

// The form's stored layout, compiled into the program.
QByteArray Form1Layout();

} // namespace vyn
