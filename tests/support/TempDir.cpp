#include "tests/support/TempDir.h"

#include <stdexcept>

namespace vyn::test {

TempDir::TempDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

} // namespace vyn::test
