// Feeds arbitrary text to the layout reader: it must raise EReadError or build a tree, and
// never crash, hang or leak.
#include "platform/core/Exception.h"
#include "platform/core/Layout.h"
#include "tests/support/TestComponents.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        std::unique_ptr<vyn::TComponent> root(vyn::CreateComponentFromLayout(text, nullptr));
    } catch (const vyn::Exception&) {
    }
    // Reading into an existing root takes the other path through the reader.
    vyn::TComponent owner(nullptr);
    auto* root = new vyn::test::TTestRoot(&owner);
    try {
        vyn::ReadComponentLayout(root, text);
    } catch (const vyn::Exception&) {
    }
    return 0;
}
