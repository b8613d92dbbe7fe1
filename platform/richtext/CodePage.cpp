#include "platform/richtext/CodePage.h"

#include <QStringDecoder>

#include <memory>
#include <unordered_map>

namespace vyn::rtf {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to themselves, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const char* DecoderName(int codePage)
{
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "windows-31j";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 65001:
        return "UTF-8";
    default:
        return nullptr;
    }
}

// Building a decoder is costly and records are read one after another, so decoders are kept.
QStringDecoder* Decoder(int codePage)
{
    const char* name = DecoderName(codePage);
    if (!name)
        return nullptr; // only known code pages are kept, so the cache stays small
    thread_local std::unordered_map<int, std::unique_ptr<QStringDecoder>> cache;
    auto it = cache.find(codePage);
    if (it == cache.end()) {
        auto d = std::make_unique<QStringDecoder>(name, QStringDecoder::Flag::Stateless);
        if (!d->isValid())
            d.reset();
        it = cache.emplace(codePage, std::move(d)).first;
    }
    return it->second.get();
}

void DecodeCp1252(const char* bytes, size_t size, QString& out)
{
    for (size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
}

} // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 42; // symbol
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

void DecodeCodePage(int codePage, const char* bytes, size_t size, QString& out)
{
    if (codePage == 1252 || codePage == 0) {
        DecodeCp1252(bytes, size, out);
        return;
    }
    if (codePage == 42) {
        // Symbol fonts: Windows maps their bytes into the private use area.
        for (size_t i = 0; i < size; ++i)
            out += QChar(char16_t(0xF000 + static_cast<unsigned char>(bytes[i])));
        return;
    }
    if (QStringDecoder* d = Decoder(codePage)) {
        out += d->decode(QByteArrayView(bytes, qsizetype(size)));
        return;
    }
    DecodeCp1252(bytes, size, out);
}

unsigned char EncodeCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return 0;
}

} // namespace vyn::rtf
