#pragma once

#include "platform/core/Object.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vyn {

VYN_ENUM(TSeekOrigin, soBeginning, soCurrent, soEnd)

// A stream of bytes.
class TStream : public TObject
{
    VYN_CLASS(TStream, TObject)
public:
    // Read and Write move up to Count bytes and return how many moved.
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
    virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t NewSize);

    // All or nothing: raise EReadError / EWriteError when fewer bytes move.
    void ReadBuffer(void* Buffer, std::int64_t Count);
    void WriteBuffer(const void* Buffer, std::int64_t Count);
    void WriteBytes(const QByteArray& Bytes) { WriteBuffer(Bytes.constData(), Bytes.size()); }
    // Reads up to Count bytes (all that remain when Count < 0).
    QByteArray ReadBytes(std::int64_t Count = -1);
    // Copies Count bytes from Source; 0 copies all of Source from its start.
    std::int64_t CopyFrom(TStream* Source, std::int64_t Count);
};

// A stream held in memory.
class TMemoryStream : public TStream
{
    VYN_CLASS(TMemoryStream, TStream)
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray Data) : m_data(std::move(Data)) {}

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    std::int64_t Size() override { return m_data.size(); }
    void SetSize(std::int64_t NewSize) override;

    const QByteArray& Memory() const { return m_data; }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    void LoadFromFile(const QString& FileName);
    void SaveToFile(const QString& FileName);

protected:
    QByteArray m_data;
    std::int64_t m_position = 0;
};

// A memory stream over the UTF-8 bytes of a string.
class TStringStream : public TMemoryStream
{
    VYN_CLASS(TStringStream, TMemoryStream)
public:
    TStringStream() = default;
    explicit TStringStream(const QString& S) : TMemoryStream(S.toUtf8()) {}
    explicit TStringStream(const QByteArray& Bytes) : TMemoryStream(Bytes) {}
    QString DataString() const { return QString::fromUtf8(m_data); }
    void WriteString(const QString& S) { WriteBytes(S.toUtf8()); }
};

} // namespace vyn
