#include "tests/ui/UiTest.h"

#include "platform/ui/Consts.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Modal.h"

#include <QLabel>
#include <QtTest/QTest>
#include <functional>

using namespace vyn;
using namespace vyn::test;

class Dialogs : public UiTest
{
};

TEST_F(Dialogs, MessageDlgReturnsTheResultOfTheButtonPressed)
{
    ShowMainForm();
    const TMsgDlgButtons okCancel{mbOK, mbCancel};
    const TMsgDlgButtons yesNo{mbYes, mbNo};
    auto key = [](Qt::Key k) {
        return [k](TCustomForm* box) {
            QTest::keyClick(static_cast<TWinControl*>(box->ActiveControl())->Widget(), k);
            return mrNone;
        };
    };
    struct Case
    {
        const char* name;
        TMsgDlgButtons buttons;
        std::function<TModalResult(TCustomForm*)> answer;
        int expected;
    };
    const Case cases[] = {
        {"OK", okCancel, {}, 1},
        {"Cancel", okCancel, {}, 2},
        {"Yes", yesNo, {}, 6},
        {"No", yesNo, {}, 7},
        {"All", TMsgDlgButtons{mbYes, mbNo, mbAll}, {}, 8},
        {"close box", okCancel,
         [](TCustomForm* box) {
             box->Widget()->close();
             return mrNone;
         },
         2},
        {"Enter: OK", okCancel, key(Qt::Key_Return), 1},
        {"Escape: Cancel", okCancel, key(Qt::Key_Escape), 2},
        {"Enter: Yes", yesNo, key(Qt::Key_Return), 6},
        {"Escape: No", yesNo, key(Qt::Key_Escape), 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TScriptedModalDriver driver;
        if (c.answer)
            driver.Then(c.answer);
        else
            driver.Press(QString::fromLatin1(c.name));
        EXPECT_EQ(MessageDlg(QStringLiteral("Sure?"), mtConfirmation, c.buttons, 0), c.expected);
        EXPECT_EQ(driver.Pending(), 0);
        EXPECT_TRUE(driver.Unexpected().isEmpty());
    }
}

TEST_F(Dialogs, MessageBoxesShowTheirTextOnLinesAndTheWindowBehindIsActiveBeforeTheyReturn)
{
    TSampleForm* main = ShowMainForm();
    QStringList log;
    Screen->OnActiveFormChange = [&](TObject*) {
        log << QStringLiteral("change ") + Screen->ActiveForm()->ClassName();
    };
    main->OnActivate = [&](TObject*) { log << QStringLiteral("activate main"); };
    QStringList captions;
    QList<int> heights;
    TScriptedModalDriver driver;
    auto look = [&](TCustomForm* form) {
        auto* box = static_cast<TMessageForm*>(form);
        log << QStringLiteral("driver");
        EXPECT_EQ(Screen->ActiveForm(), box);
        EXPECT_EQ(Screen->ActiveControl(), main->Edit1);
        QStringList buttons;
        for (int i = 0; i < box->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(box->Components(i)))
                buttons << b->Caption();
        captions << box->Caption() + QStringLiteral(": ") + box->Message->Label()->text() +
                        QStringLiteral(" [") + buttons.join(QLatin1Char(',')) + QLatin1Char(']');
        heights << box->Message->Height();
        return mrNone;
    };
    driver.Then(look).Press(QStringLiteral("Cancel")).Then(look).Press(QStringLiteral("OK"));
    main->SetCaption(QStringLiteral("People"));
    m_app->SetTitle(QStringLiteral("RichEdit"));

    const int result =
        MessageDlg(QStringLiteral("People\n") + PlatformText(TPlatformText::DeleteRecordQuestion),
                   mtConfirmation, {mbOK, mbCancel}, 0);
    log << QStringLiteral("returned");
    ShowMessage(QStringLiteral("Text 'x' not found"));
    log << QStringLiteral("returned");

    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(captions, (QStringList{"Confirm: People\nDelete record? [OK,Cancel]",
                                     "RichEdit: Text 'x' not found [OK]"}));
    // Two lines stand higher than one.
    ASSERT_EQ(heights.size(), 2);
    EXPECT_GT(heights[0], heights[1] * 3 / 2);
    const QStringList once{"change TMessageForm", "driver", "change TSampleForm", "activate main",
                           "returned"};
    EXPECT_EQ(log, once + once);
    EXPECT_EQ(Screen->ActiveForm(), main);
    EXPECT_EQ(Screen->ActiveControl(), main->Edit1);
}
