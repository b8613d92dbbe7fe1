#pragma once

// Selection by character positions in Qt's text editors (a memo's plain editor, a rich edit's
// editor), which share these calls but no base class.

#include <QTextCursor>
#include <algorithm>

namespace vyn::textsel {

template <class Editor> int SelStart(const Editor* E)
{
    return E->textCursor().selectionStart();
}

// Places the caret at Value, kept within [0, Last].
template <class Editor> void SetSelStart(Editor* E, int Value, int Last)
{
    QTextCursor c = E->textCursor();
    c.setPosition(std::clamp(Value, 0, Last));
    E->setTextCursor(c);
}

template <class Editor> int SelLength(const Editor* E)
{
    const QTextCursor c = E->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

// Selects Value characters from the selection's start, kept within [0, Last].
template <class Editor> void SetSelLength(Editor* E, int Value, int Last)
{
    QTextCursor c = E->textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + Value, 0, Last), QTextCursor::KeepAnchor);
    E->setTextCursor(c);
}

} // namespace vyn::textsel
