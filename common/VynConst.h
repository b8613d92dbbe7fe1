#pragma once

#include <QString>

namespace vyn {

// The library's text catalogue: every text its own forms, menus and messages show. A text is
// looked up each time it is needed, so an application can translate the catalogue at start-up.
enum class TVynText {
    PromptOnReplace,
    Scope,
    Global,
    SelectedText,
    From,
    OnlyFor,
    CurrentRecord,
    Origin,
    FromCursor,
    EntireScope,
    TextNotFound,
    RefreshData,
    ParagraphCaption,
    ParagraphItem,
    FirstLine,
    LeftIndent,
    RightIndent,
    Left,
    Center,
    Right,
    Bullet,
    Search,
    Replace,
    ReplaceAll,
    TextToFind,
    ReplaceWith,
    Options,
    WholeWordsOnly,
    SearchReplace,
    SearchReplaceNext,
    Copy,
    Insert,
    SelectAll,
    Print,
    FirstRecord,
    PriorRecord,
    NextRecord,
    LastRecord,
    InsertRecord,
    DeleteRecord,
    EditRecord,
    PostEdit,
    CancelEdit,
    Cancel,
    CaseSensitive,
    Find,
    CloneRecord,
    Font,
    BasicFont,
};

inline constexpr int VynTextCount = int(TVynText::BasicFont) + 1;

// The current text of an entry.
QString VynText(TVynText Id);
// Replaces an entry's text (a translation); ResetVynTexts restores the built-in ones.
void SetVynText(TVynText Id, const QString& Text);
void ResetVynTexts();

} // namespace vyn
