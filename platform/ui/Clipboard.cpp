#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vyn {

QString TClipboard::AsText() const
{
    return QGuiApplication::clipboard()->text();
}

void TClipboard::SetAsText(const QString& Value)
{
    QGuiApplication::clipboard()->setText(Value);
}

bool TClipboard::HasText() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

void TClipboard::Clear()
{
    QGuiApplication::clipboard()->clear();
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}

} // namespace vyn
