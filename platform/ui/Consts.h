#pragma once

// The platform's own texts: message box captions and buttons, and the messages that the
// platform's dialogs and data controls show.

#include <QString>

namespace vyn {

enum class TPlatformText {
    DeleteRecordQuestion, // "Delete record?"
    MsgDlgWarning,
    MsgDlgError,
    MsgDlgInformation,
    MsgDlgConfirm,
    MsgDlgYes,
    MsgDlgNo,
    MsgDlgOK,
    MsgDlgCancel,
    MsgDlgAbort,
    MsgDlgRetry,
    MsgDlgIgnore,
    MsgDlgAll,
    MsgDlgNoToAll,
    MsgDlgYesToAll,
};

QString PlatformText(TPlatformText Id);

} // namespace vyn
