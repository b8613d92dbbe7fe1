#include "platform/core/Stream.h"

#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace vyn {

const TClassInfo& TStream::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TStream>("TStream").Build();
    return info;
}

std::int64_t TStream::Size()
{
    const std::int64_t pos = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t)
{
    throw EStreamError(QStringLiteral("%1 cannot change its size").arg(ClassName()));
}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count)
{
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EWriteError(QStringLiteral("Stream write error"));
}

QByteArray TStream::ReadBytes(std::int64_t Count)
{
    const std::int64_t left = std::max<std::int64_t>(0, Size() - Position());
    if (Count < 0 || Count > left)
        Count = left;
    QByteArray bytes(qsizetype(Count), Qt::Uninitialized);
    bytes.resize(qsizetype(Read(bytes.data(), Count)));
    return bytes;
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    const std::int64_t total = Count;
    char buffer[64 * 1024];
    while (Count > 0) {
        const std::int64_t n = std::min<std::int64_t>(Count, sizeof buffer);
        Source->ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        Count -= n;
    }
    return total;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TMemoryStream::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TMemoryStream>("TMemoryStream").Build();
    return info;
}

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count)
{
    if (Count <= 0 || m_position >= m_data.size())
        return 0;
    const std::int64_t n = std::min<std::int64_t>(Count, m_data.size() - m_position);
    std::memcpy(Buffer, m_data.constData() + m_position, size_t(n));
    m_position += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count)
{
    if (Count <= 0)
        return 0;
    const std::int64_t end = m_position + Count;
    if (end > m_data.size())
        m_data.resize(qsizetype(end), '\0');
    std::memcpy(m_data.data() + m_position, Buffer, size_t(Count));
    m_position = end;
    return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin)
{
    std::int64_t base = 0;
    switch (Origin) {
    case soBeginning:
        base = 0;
        break;
    case soCurrent:
        base = m_position;
        break;
    case soEnd:
        base = m_data.size();
        break;
    }
    const std::int64_t pos = base + Offset;
    if (pos < 0)
        throw EStreamError(QStringLiteral("Invalid stream position %1").arg(pos));
    m_position = pos;
    return m_position;
}

void TMemoryStream::SetSize(std::int64_t NewSize)
{
    if (NewSize < 0)
        throw EStreamError(QStringLiteral("Invalid stream size %1").arg(NewSize));
    m_data.resize(qsizetype(NewSize), '\0');
    m_position = std::min(m_position, NewSize);
}

void TMemoryStream::Clear()
{
    m_data.clear();
    m_position = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    m_data = Stream->ReadBytes();
    m_position = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    Stream->WriteBytes(m_data);
}

void TMemoryStream::LoadFromFile(const QString& FileName)
{
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, f.errorString()));
    m_data = f.readAll();
    m_position = 0;
}

void TMemoryStream::SaveToFile(const QString& FileName)
{
    QFile f(FileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(m_data) != m_data.size())
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, f.errorString()));
}

const TClassInfo& TStringStream::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TStringStream>("TStringStream").Build();
    return info;
}

} // namespace vyn
