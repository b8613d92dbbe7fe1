#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vyn::test {

// A fresh folder per test, removed when the test ends.
class TempDir
{
public:
    TempDir();
    QString Path() const { return m_dir.path(); }
    QString File(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace vyn::test
