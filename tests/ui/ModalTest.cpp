#include "tests/ui/UiTest.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/Modal.h"

#include <QApplication>
#include <QComboBox>
#include <QtTest/QTest>
#include <functional>

using namespace vyn;
using namespace vyn::test;

class Modal : public UiTest
{
protected:
    static std::unique_ptr<TSampleForm> NewDialog()
    {
        auto dialog = std::make_unique<TSampleForm>(nullptr);
        dialog->SetName(QStringLiteral("Dialog"));
        return dialog;
    }
};

TEST_F(Modal, DriverActsOnTheActiveDialogAndTheFormBehindIsActiveAgainBeforeItReturns)
{
    TSampleForm* main = ShowMainForm();
    auto dialog = NewDialog();
    QStringList log;
    Screen->OnActiveFormChange = [&](TObject*) {
        log << QStringLiteral("change ") + Screen->ActiveForm()->Name();
    };
    main->OnActivate = [&](TObject*) { log << QStringLiteral("activate main"); };
    dialog->OnActivate = [&](TObject*) { log << QStringLiteral("activate dialog"); };

    TScriptedModalDriver driver;
    driver
        .Then([&](TCustomForm* form) {
            log << QStringLiteral("driver");
            EXPECT_EQ(form, dialog.get());
            EXPECT_EQ(Screen->ActiveForm(), dialog.get());
            EXPECT_TRUE(dialog->Modal());
            // The control behind keeps its place while the dialog is open.
            EXPECT_EQ(Screen->ActiveControl(), main->Edit1);
            dialog->CheckBoxCase->SetChecked(true);
            dialog->ComboBoxFind->SetText(QStringLiteral("needle"));
            return mrNone;
        })
        .Press(QStringLiteral("BtnFind"));
    const TModalResult result = dialog->ShowModal();
    log << QStringLiteral("returned");

    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog->ModalResult(), mrOk);
    EXPECT_EQ(log, (QStringList{"change Dialog", "activate dialog", "driver", "change SampleForm",
                                "activate main", "returned"}));
    EXPECT_TRUE(dialog->Log.contains(QStringLiteral("find")));
    EXPECT_TRUE(dialog->CheckBoxCase->Checked());
    EXPECT_EQ(dialog->ComboBoxFind->Text(), QStringLiteral("needle"));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
    EXPECT_EQ(Screen->ActiveForm(), main);
    EXPECT_EQ(Screen->ActiveControl(), main->Edit1);
    EXPECT_EQ(driver.Pending(), 0);
    EXPECT_TRUE(driver.Unexpected().isEmpty());
    EXPECT_EQ(driver.Shown(), QStringList{QStringLiteral("TSampleForm: Search and replace")});
}

TEST_F(Modal, DefaultCancelAndCloseBoxGiveTheirResults)
{
    ShowMainForm();
    struct Case
    {
        const char* name;
        std::function<void(TSampleForm*)> act;
        TModalResult expected;
        bool findRan;
    };
    auto key = [](TControl* c, Qt::Key k) { QTest::keyClick(c->Widget(), k); };
    const Case cases[] = {
        {"the default button clicked", [](TSampleForm* f) { ClickControl(f->BtnFind); }, mrOk,
         true},
        {"Enter in an edit", [&](TSampleForm* f) { key(f->Edit1, Qt::Key_Return); }, mrOk, true},
        {"Enter in an editable combo box",
         [&](TSampleForm* f) {
             f->ComboBoxFind->SetText(QStringLiteral("typed"));
             key(f->ComboBoxFind, Qt::Key_Return);
             EXPECT_EQ(f->ComboBoxFind->Items()->Count(), 0);
             EXPECT_EQ(f->ComboBoxFind->Text(), QStringLiteral("typed"));
         },
         mrOk, true},
        {"Enter on the focused cancel button",
         [&](TSampleForm* f) {
             f->BtnCancel->SetFocus();
             key(f->BtnCancel, Qt::Key_Return);
         },
         mrCancel, false},
        {"Escape in an edit", [&](TSampleForm* f) { key(f->Edit1, Qt::Key_Escape); }, mrCancel,
         false},
        {"the close box", [](TSampleForm* f) { f->Widget()->close(); }, mrCancel, false},
        {"Enter in a memo, which takes it, then Escape",
         [&](TSampleForm* f) {
             key(f->Memo1, Qt::Key_Return);
             EXPECT_EQ(f->ModalResult(), mrNone);
             key(f->Memo1, Qt::Key_Escape);
         },
         mrCancel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dialog = NewDialog();
        TScriptedModalDriver driver;
        driver.Then([&](TCustomForm*) {
            c.act(dialog.get());
            return mrNone;
        });
        EXPECT_EQ(dialog->ShowModal(), c.expected);
        EXPECT_EQ(dialog->Log.contains(QStringLiteral("find")), c.findRan);
        EXPECT_TRUE(driver.Unexpected().isEmpty());
    }
}

TEST_F(Modal, AFailingHandlerIsShownAndLeavesTheDialogOpenForTheNextCommand)
{
    ShowMainForm();
    auto dialog = NewDialog();
    dialog->Failures = 1;
    TScriptedModalDriver driver;
    QString shown;
    driver.Press(QStringLiteral("BtnFail"))
        .Then([&](TCustomForm* box) {
            shown = static_cast<TMessageForm*>(box)->Message->Caption();
            EXPECT_EQ(Screen->ActiveForm(), box);
            return mrNone;
        })
        .Press(QStringLiteral("OK"))
        .Then([&](TCustomForm* form) {
            // Back in the dialog, which is active again and still open.
            EXPECT_EQ(form, dialog.get());
            EXPECT_EQ(Screen->ActiveForm(), dialog.get());
            EXPECT_EQ(dialog->ModalResult(), mrNone);
            return mrNone;
        })
        .Press(QStringLiteral("BtnFail"));
    EXPECT_EQ(dialog->ShowModal(), mrYes);
    EXPECT_EQ(shown, QStringLiteral("Record is locked by another user."));
    EXPECT_EQ(dialog->Log.count(QStringLiteral("fail")), 2);
    EXPECT_EQ(driver.Shown().size(), 2);
    EXPECT_EQ(driver.Pending(), 0);
    EXPECT_TRUE(driver.Unexpected().isEmpty());
}

TEST_F(Modal, RealQtModalLoopRunsUntilAButtonCloses)
{
    ShowMainForm();
    auto dialog = NewDialog();
    dialog->Failures = 1;
    QString shown;
    // Queued work, run by the modal loops: a failing click, whose error box runs a nested
    // loop; in it, the box's OK, which queues the dialog's Find for after the box is gone.
    QMetaObject::invokeMethod(
        qApp, [&] { ClickControl(dialog->BtnFail); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            auto* box = dynamic_cast<TMessageForm*>(Screen->ActiveForm());
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->Modal());
            shown = box->Message->Caption();
            ClickControl(dynamic_cast<TControl*>(box->FindComponent(QStringLiteral("OK"))));
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    EXPECT_EQ(Screen->ActiveForm(), dialog.get());
                    ClickControl(dialog->BtnFind);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(shown, QStringLiteral("Record is locked by another user."));
    EXPECT_EQ(dialog->Log,
              (QStringList{"create", "activate Dialog", "fail", "activate Dialog", "find"}));
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(Modal, ErrorsFromHandlersOfAnOrdinaryFormAreShownAndTheFormWorksOn)
{
    TSampleForm* main = ShowMainForm();
    main->Failures = 1;
    main->Edit1->OnKeyDown = [](TObject*, Word& Key, TShiftState) {
        if (Key == VK_F2)
            throw EConvertError(QStringLiteral("No such key here"));
    };
    QStringList shown;
    TScriptedModalDriver driver;
    auto record = [&](TCustomForm* box) {
        shown << static_cast<TMessageForm*>(box)->Message->Caption();
        return mrOk;
    };
    driver.Then(record).Then(record);

    ClickControl(main->BtnFail);
    EXPECT_EQ(Screen->ActiveForm(), main);
    ClickControl(main->BtnFail);
    QTest::keyClick(main->Edit1->Widget(), Qt::Key_F2);
    QTest::keyClick(main->Edit1->Widget(), Qt::Key_A);

    EXPECT_EQ(shown, (QStringList{"Record is locked by another user.", "No such key here."}));
    EXPECT_EQ(main->Log.count(QStringLiteral("fail")), 2);
    EXPECT_EQ(main->Edit1->Text(), QStringLiteral("hello worlda"));
    EXPECT_TRUE(driver.Unexpected().isEmpty());
    EXPECT_EQ(Screen->ActiveForm(), main);
}
