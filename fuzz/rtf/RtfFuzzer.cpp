// Feeds arbitrary bytes to the RTF reader. Besides crashes, hangs and leaks it traps when the
// plain-text fast path disagrees with the document, or when a document read does not survive
// a write and a second read unchanged.
#include "platform/richtext/Rtf.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const vyn::RichDocument doc = vyn::ReadRtf(in);
    if (vyn::RtfPlainText(in) != doc.PlainText())
        __builtin_trap();
    if (!(vyn::ReadRtf(vyn::WriteRtf(doc)) == doc))
        __builtin_trap();
    return 0;
}
