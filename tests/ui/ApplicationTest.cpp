#include "tests/ui/UiTest.h"

#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "tests/support/TestComponents.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

using namespace vyn;
using namespace vyn::test;

namespace {

QStringList& Events()
{
    static QStringList log;
    return log;
}

void UnitInit()
{
    Events() << QStringLiteral("unit initialised");
}

void UnitFinal()
{
    Events() << QStringLiteral("unit finalised");
}

const TUnitRegistration unit("UiTestUnit", {}, &UnitInit, &UnitFinal);

const char* const ModuleLayout = R"(object DataModule1: TTestDataModule
  OldCreateOrder = False
  Left = 200
  Top = 120
  Height = 150
  Width = 215
  OnCreate = ModuleCreate
  OnDestroy = ModuleDestroy
  object Table1: TTestComponent
    Caption = 'People'
  end
end
)";

} // namespace

namespace vyn::test {

class TTestDataModule : public TDataModule
{
    VYN_CLASS(TTestDataModule, TDataModule)
public:
    explicit TTestDataModule(TComponent* AOwner) : TDataModule(AOwner)
    {
        CreateFromLayout(ModuleLayout);
    }
    TTestComponent* Table1 = nullptr;

    void ModuleCreate(TObject*) { Events() << QStringLiteral("module created"); }
    void ModuleDestroy(TObject*)
    {
        // The module's components are still there.
        Events() << QStringLiteral("module destroyed with ") +
                        (FindComponent(QStringLiteral("Table1")) ? Table1->Caption()
                                                                 : QStringLiteral("nothing"));
    }
};

const TClassInfo& TTestDataModule::StaticClassInfo()
{
    using C = TTestDataModule;
    static const TClassInfo info = TClassBuilder<C>("TTestDataModule")
                                       .Field("Table1", &C::Table1)
                                       .Method("ModuleCreate", &C::ModuleCreate)
                                       .Method("ModuleDestroy", &C::ModuleDestroy)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TTestDataModule)

} // namespace vyn::test

TEST(ApplicationLife, ScreenExistsOnlyWhileTheApplicationRuns)
{
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
    {
        TApplication app;
        EXPECT_EQ(Application, &app);
        ASSERT_NE(Screen, nullptr);
        EXPECT_EQ(Screen->ActiveForm(), nullptr);
        EXPECT_EQ(Screen->FormCount(), 0);
    }
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
}

TEST(ApplicationLife, ProgramEndDestroysFormsAndDataModulesBeforeTheUnitsFinalise)
{
    Events().clear();
    {
        TApplication app;
        app.Initialize();
        TSampleForm* form = nullptr;
        TTestDataModule* module = nullptr;
        app.CreateForm(form);
        app.CreateForm(module);
        EXPECT_EQ(app.MainForm(), form);
        ASSERT_EQ(Screen->DataModuleCount(), 1);
        EXPECT_EQ(Screen->DataModules(0), module);
        EXPECT_EQ(module->Table1->Caption(), QStringLiteral("People"));
        form->OnDestroy = [](TObject*) { Events() << QStringLiteral("form destroyed"); };
        Events() << QStringLiteral("running");
    }
    EXPECT_EQ(Events(),
              (QStringList{"unit initialised", "module created", "running",
                           "module destroyed with People", "form destroyed", "unit finalised"}));
}

TEST(ApplicationLife, RunEndsWhenTheMainFormIsClosed)
{
    TApplication app;
    TSampleForm* form = nullptr;
    app.CreateForm(form);
    bool wasShown = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            wasShown = form->Visible() && Screen->ActiveForm() == form;
            form->Widget()->close(); // the close box
        },
        Qt::QueuedConnection);
    app.Run();
    EXPECT_TRUE(wasShown);
    EXPECT_TRUE(app.Terminated());
}

TEST(ApplicationLife, ExeNameComesFromTheProgramPath)
{
    TApplication app;
    EXPECT_EQ(app.ExeName(), QCoreApplication::applicationFilePath());
    SetProgramPath(QStringLiteral("/opt/vyn example/RichEdit"));
    EXPECT_EQ(app.ExeName(), QStringLiteral("/opt/vyn example/RichEdit"));
    EXPECT_EQ(app.Title(), QStringLiteral("RichEdit"));
    SetProgramPath(QString());
    EXPECT_EQ(app.ExeName(), QCoreApplication::applicationFilePath());
}
