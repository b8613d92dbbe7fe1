#pragma once

// Formats built in place, for the rich text tests.

#include "platform/richtext/RichDocument.h"

#include <functional>

namespace vyn::test {

inline RichCharFormat Fmt(const std::function<void(RichCharFormat&)>& set)
{
    RichCharFormat f;
    set(f);
    return f;
}

inline RichParaFormat Para(const std::function<void(RichParaFormat&)>& set)
{
    RichParaFormat f;
    set(f);
    return f;
}

} // namespace vyn::test
