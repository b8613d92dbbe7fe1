#pragma once

// The clipboard, reached through Clipboard().

#include <QString>

namespace vyn {

class TClipboard
{
public:
    // The text on the clipboard; "" when it holds none.
    QString AsText() const;
    void SetAsText(const QString& Value);
    bool HasText() const;
    void Clear();
};

// The program's clipboard (the desktop's, through Qt).
TClipboard* Clipboard();

} // namespace vyn
