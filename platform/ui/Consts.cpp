#include "platform/ui/Consts.h"

namespace vyn {

QString PlatformText(TPlatformText Id)
{
    switch (Id) {
    case TPlatformText::DeleteRecordQuestion:
        return QStringLiteral("Delete record?");
    case TPlatformText::MsgDlgWarning:
        return QStringLiteral("Warning");
    case TPlatformText::MsgDlgError:
        return QStringLiteral("Error");
    case TPlatformText::MsgDlgInformation:
        return QStringLiteral("Information");
    case TPlatformText::MsgDlgConfirm:
        return QStringLiteral("Confirm");
    case TPlatformText::MsgDlgYes:
        return QStringLiteral("&Yes");
    case TPlatformText::MsgDlgNo:
        return QStringLiteral("&No");
    case TPlatformText::MsgDlgOK:
        return QStringLiteral("OK");
    case TPlatformText::MsgDlgCancel:
        return QStringLiteral("Cancel");
    case TPlatformText::MsgDlgAbort:
        return QStringLiteral("&Abort");
    case TPlatformText::MsgDlgRetry:
        return QStringLiteral("&Retry");
    case TPlatformText::MsgDlgIgnore:
        return QStringLiteral("&Ignore");
    case TPlatformText::MsgDlgAll:
        return QStringLiteral("&All");
    case TPlatformText::MsgDlgNoToAll:
        return QStringLiteral("N&o to All");
    case TPlatformText::MsgDlgYesToAll:
        return QStringLiteral("Yes to &All");
    }
    return QString();
}

} // namespace vyn
