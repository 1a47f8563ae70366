#include "SampleFiles.h"

#include "AdapterProfile.h"

#include <cstdint>

namespace sim {

namespace {

void putLength(QByteArray& bytes, qsizetype at, qsizetype length)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((static_cast<std::uint32_t>(length) >> (8 * i)) & 0xFF);
}

bool isIdByte(char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z');
}

} // namespace

QByteArray sampleFirmwareImage(qsizetype pageDataBytes)
{
    const qsizetype length = kImageHeaderSize + pageDataBytes;
    QByteArray image(length, '\0');
    std::uint32_t state = 0x2545F491;
    for (qsizetype i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        image[i] = static_cast<char>(state >> 24);
    }
    image.replace(0, kMagicSize, kImageMagic);
    putLength(image, kMagicSize, length);
    if (length >= kImageHeaderSize + kAltBlockSize) {
        image.replace(kImageHeaderSize, kMagicSize, kAltImageMagic);
        putLength(image, kImageHeaderSize + kMagicSize, length);
    }
    return image;
}

std::optional<qsizetype> imageLength(const QByteArray& block, const char* magic)
{
    if (block.size() < kMagicSize + 4 || !block.startsWith(magic))
        return std::nullopt;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(block[kMagicSize + i])) << (8 * i);
    return static_cast<qsizetype>(length);
}

QByteArray modeFile(const QByteArray& id, const QByteArray& description)
{
    QByteArray file = id.leftJustified(3, ' ', true) + description.left(kModeFileSize - 3);
    return file.leftJustified(kModeFileSize, '\0');
}

std::optional<Mode> modeOfFile(const QByteArray& file)
{
    if (file.size() != kModeFileSize)
        return std::nullopt;
    const QByteArray id = file.left(3).trimmed();
    if (id.isEmpty() || id.contains(' '))
        return std::nullopt;
    for (const char byte : id)
        if (!isIdByte(byte))
            return std::nullopt;
    QByteArray description = file.mid(3);
    description.truncate(description.indexOf('\0') < 0 ? description.size() : description.indexOf('\0'));
    description = description.trimmed();
    if (description.isEmpty() || description.contains('\r') || description.contains('\n'))
        return std::nullopt;
    return Mode{id, description};
}

} // namespace sim
