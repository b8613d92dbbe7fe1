#include "tests/support/TempDir.h"
#include "tests/ui/UiTest.h"

#include "platform/core/ScopeGuard.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QStyle>
#include <sys/stat.h>

using namespace vyn;
using namespace vyn::test;

namespace {

const QStringList HostileAddresses = {
    QStringLiteral("mailto:someone@example.org"),
    QStringLiteral("http://example.org/a b?q=\"x\"&y='z'"),
    QStringLiteral("mailto:x@y.org; rm -rf ~"),
    QStringLiteral("$(touch /tmp/vyn-pwned) `id` | cat > /tmp/f"),
    QStringLiteral("  leading and trailing spaces  "),
    QStringLiteral("line\nbreak\ttab"),
};

} // namespace

class Desktop : public UiTest
{
};

TEST_F(Desktop, ShellExecuteHandsTheAddressOverUnchangedAsOneArgument)
{
    QStringList handed;
    QString directory;
    bool accept = true;
    TDesktopLauncher previous = SetDesktopLauncher([&](const QString& a, const QString& d) {
        handed << a;
        directory = d;
        return accept;
    });
    auto restore = Finally([&] { SetDesktopLauncher(previous); });

    for (const QString& address : HostileAddresses)
        EXPECT_GT(ShellExecute(GetDesktopWindow(), QStringLiteral("open"), address, QString(),
                               QString(), SW_SHOWNORMAL),
                  32)
            << address.toStdString();
    EXPECT_EQ(handed, HostileAddresses);

    handed.clear();
    const QString file = QStringLiteral("People.DB");
    EXPECT_GT(ShellExecute(nullptr, QString(), file, QString(), QStringLiteral("/data"), 1), 32);
    EXPECT_EQ(directory, QStringLiteral("/data"));
    EXPECT_EQ(ShellExecute(nullptr, QStringLiteral("print"), file, QString(), QString(), 1),
              SE_ERR_NOASSOC);
    EXPECT_EQ(
        ShellExecute(nullptr, QStringLiteral("open"), file, QStringLiteral("-x"), QString(), 1),
        SE_ERR_NOASSOC);
    EXPECT_EQ(ShellExecute(nullptr, QStringLiteral("open"), QString(), QString(), QString(), 1),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(handed, QStringList{file});
    accept = false;
    EXPECT_EQ(ShellExecute(nullptr, QStringLiteral("open"), file, QString(), QString(), 1),
              SE_ERR_NOASSOC);
}

TEST_F(Desktop, TheDefaultLauncherStartsTheOpenerWithOneArgumentAndNoShell)
{
    // A stand-in for xdg-open that writes its arguments into a pipe; reading the pipe waits
    // for it without any timing.
    TempDir dir;
    const QString fifo = dir.Path() + QStringLiteral("/args");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString opener = dir.Path() + QStringLiteral("/xdg-open");
    {
        QFile script(opener);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n{ printf '%s\\n' \"$#\"; printf '%s' \"$1\"; } > \"$(dirname "
                     "\"$0\")/args\"\n");
    }
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.Path()) + ':' + path);
    auto restore = Finally([&] { qputenv("PATH", path); });

    const QString address = HostileAddresses[3] + QStringLiteral(" ; ") + HostileAddresses[1];
    ASSERT_TRUE(DefaultDesktopLauncher(address, QString()));
    QFile args(fifo);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), QStringLiteral("1\n") + address);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/vyn-pwned")));

    // The opener would take it for an option.
    EXPECT_FALSE(DefaultDesktopLauncher(QStringLiteral("--help"), QString()));
}

TEST_F(Desktop, PostedMessagesRunOnceTheEventLoopRunsAndNeverForAGoneControl)
{
    TSampleForm* form = ShowMainForm();
    QStringList log;
    form->Edit1->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        log << QStringLiteral("down %1").arg(Key);
    };
    form->ComboBoxColor->OnDropDown = [&](TObject*) { log << QStringLiteral("drop down"); };

    EXPECT_TRUE(PostMessage(form->Edit1->Handle(), WM_KEYDOWN, VK_TAB, 0));
    EXPECT_TRUE(PostMessage(form->ComboBoxColor->Handle(), CB_SHOWDROPDOWN, 1, 0));
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(form->Edit1->Focused());
    EXPECT_FALSE(form->ComboBoxColor->DroppedDown());
    QCoreApplication::processEvents();
    // The Tab went through the edit's keys and on to the next control in tab order (the memo,
    // read-only but a stop of the Tab key); the list that opened took no control's place.
    EXPECT_EQ(log, (QStringList{"down 9", "drop down"}));
    EXPECT_TRUE(form->ComboBoxColor->DroppedDown());
    EXPECT_EQ(Screen->ActiveControl(), form->Memo1);
    EXPECT_EQ(SendMessage(form->ComboBoxColor->Handle(), CB_SHOWDROPDOWN, 0, 0), 1);
    EXPECT_FALSE(form->ComboBoxColor->DroppedDown());

    PostMessage(form->Edit1->Handle(), WM_KEYDOWN, VK_TAB, 0);
    delete form->Edit1;
    QCoreApplication::processEvents();
    EXPECT_EQ(log.size(), 2);
    EXPECT_FALSE(PostMessage(nullptr, WM_KEYDOWN, VK_TAB, 0));
}

TEST_F(Desktop, ClipboardTextAndSystemMetrics)
{
    Clipboard()->SetAsText(QStringLiteral("copied"));
    EXPECT_TRUE(Clipboard()->HasText());
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("copied"));
    Clipboard()->Clear();
    EXPECT_EQ(Clipboard()->AsText(), QString());

    // The drop-down button of a combo box is about a scroll-bar arrow wide.
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    EXPECT_EQ(arrow, QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    EXPECT_GT(arrow, 8);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
    EXPECT_EQ(GetSystemMetrics(-1), 0);
}
