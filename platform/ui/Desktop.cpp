#include "platform/ui/Desktop.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStyle>

namespace vyn {

namespace {

TDesktopLauncher& CurrentLauncher()
{
    static TDesktopLauncher launcher = DefaultDesktopLauncher;
    return launcher;
}

} // namespace

int GetSystemMetrics(int Index)
{
    switch (Index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return 0;
        return Index == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
        return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    default:
        return 0;
    }
}

HWND GetDesktopWindow()
{
    return nullptr;
}

HINSTANCE ShellExecute(HWND, const QString& Operation, const QString& File,
                       const QString& Parameters, const QString& Directory, int)
{
    if (File.isEmpty())
        return ERROR_FILE_NOT_FOUND;
    if ((!Operation.isEmpty() && Operation.compare(QLatin1String("open"), Qt::CaseInsensitive)) ||
        !Parameters.isEmpty())
        return SE_ERR_NOASSOC;
    return CurrentLauncher()(File, Directory) ? 42 : SE_ERR_NOASSOC;
}

bool DefaultDesktopLauncher(const QString& Address, const QString& Directory)
{
    if (Address.startsWith(QLatin1Char('-')))
        return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {Address}, Directory);
}

TDesktopLauncher SetDesktopLauncher(TDesktopLauncher Launcher)
{
    TDesktopLauncher previous = std::move(CurrentLauncher());
    CurrentLauncher() = Launcher ? std::move(Launcher) : TDesktopLauncher(DefaultDesktopLauncher);
    return previous;
}

} // namespace vyn
