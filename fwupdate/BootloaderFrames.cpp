#include "BootloaderFrames.h"

namespace fwupdate {

namespace {

std::uint8_t byteAt(const QByteArray& bytes, qsizetype index)
{
    return static_cast<std::uint8_t>(bytes[index]);
}

} // namespace

std::uint16_t checksum(const QByteArray& payload)
{
    std::uint32_t sum = 0;
    for (const char byte : payload)
        sum += static_cast<std::uint8_t>(byte);
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

QByteArray wordToBytes(std::uint16_t value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = static_cast<char>(value & 0xFF);
    bytes[1] = static_cast<char>(value >> 8);
    return bytes;
}

std::uint16_t bytesToWord(char low, char high)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(low) | static_cast<std::uint8_t>(high) << 8);
}

QByteArray packet(const QByteArray& lead, const QByteArray& payload)
{
    if (payload.isEmpty())
        return lead;
    return lead + wordToBytes(checksum(payload)) + payload;
}

bool takeFrame(QByteArray& buffer, std::int32_t& frameLength, QByteArray& frame)
{
    while (frameLength < 0) {
        if (buffer.isEmpty())
            return false;
        switch (buffer[0]) {
        case kAckFrame:
            // The length byte is read as 0 to 255, so every value moves the cut on.
            if (buffer.size() < 2 || byteAt(buffer, 1) + 2 > buffer.size())
                return false;
            frameLength = byteAt(buffer, 1) + 2;
            break;
        case kNakFrame:
        case kPromptFrame:
            frameLength = 1;
            break;
        case kPageRequestFrame:
            if (buffer.size() < 3)
                return false;
            frameLength = 3;
            break;
        default:
            buffer.remove(0, 1);
            break;
        }
    }
    frame = buffer.left(frameLength);
    buffer.remove(0, frameLength);
    frameLength = -1;
    return true;
}

std::optional<std::uint16_t> ackedNumber(const QByteArray& frame)
{
    if (frame.size() < 4)
        return std::nullopt;
    return bytesToWord(frame[2], frame[3]);
}

std::uint16_t requestedPage(const QByteArray& frame)
{
    return bytesToWord(frame[1], frame[2]);
}

} // namespace fwupdate
