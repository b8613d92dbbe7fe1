#include "common/VynConst.h"

#include "platform/core/Exception.h"

#include <array>

namespace vyn {

namespace {

constexpr std::array<const char*, VynTextCount> BuiltIn = {
    "Prompt on replace",
    "Scope",
    "Global",
    "Selected text",
    "From",
    "Only for",
    "current record",
    "Origin",
    "From cursor",
    "Entire scope",
    "Text '%s' not found",
    "Refresh data",
    "Paragraph",
    "Paragraph",
    "First line",
    "Left indent",
    "Right indent",
    "Left",
    "Center",
    "Right",
    "Bullet",
    "Search",
    "Replace",
    "Replace All",
    "Text to find",
    "Replace with",
    "Options",
    "Whole words only",
    "Search / replace",
    "Search/replace next",
    "Copy",
    "Insert",
    "Select All",
    "Print",
    "First record",
    "Prior record",
    "Next record",
    "Last record",
    "Insert record",
    "Delete record",
    "Edit record",
    "Post edit",
    "Cancel edit",
    "Cancel",
    "Case sensitive",
    "Find",
    "Clone record",
    "Font",
    "Basic font",
};

std::array<QString, VynTextCount>& Texts()
{
    static std::array<QString, VynTextCount> texts = [] {
        std::array<QString, VynTextCount> t;
        for (int i = 0; i < VynTextCount; ++i)
            t[size_t(i)] = QString::fromUtf8(BuiltIn[size_t(i)]);
        return t;
    }();
    return texts;
}

size_t IndexOf(TVynText Id)
{
    const int i = int(Id);
    if (i < 0 || i >= VynTextCount)
        throw EListError(QStringLiteral("No catalogue text with number %1").arg(i));
    return size_t(i);
}

} // namespace

QString VynText(TVynText Id)
{
    return Texts()[IndexOf(Id)];
}

void SetVynText(TVynText Id, const QString& Text)
{
    Texts()[IndexOf(Id)] = Text;
}

void ResetVynTexts()
{
    for (int i = 0; i < VynTextCount; ++i)
        Texts()[size_t(i)] = QString::fromUtf8(BuiltIn[size_t(i)]);
}

} // namespace vyn
