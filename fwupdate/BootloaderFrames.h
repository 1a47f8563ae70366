#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

// The bytes exchanged with the adapter's bootloader. The bootloader leads:
// it prompts, acknowledges the connect byte and the header, then asks for
// pages by number and acknowledges or rejects each one.
namespace fwupdate {

// Host to bootloader.
inline constexpr char kConnectByte = '<';
inline constexpr char kHeaderLead = '#';
inline constexpr char kPageLead = '@';
// Bootloader to host: the lead byte of each frame.
inline constexpr char kPromptFrame = '>';
inline constexpr char kAckFrame = '+';
inline constexpr char kNakFrame = '-';
inline constexpr char kPageRequestFrame = '.';

// The page number of the end packet, and the number the bootloader acknowledges it with.
inline constexpr std::uint16_t kEndPage = 0xFFFF;

// The sum of the bytes, each 0 to 255, modulo 65536.
std::uint16_t checksum(const QByteArray& payload);
// A 16-bit number on the wire: low byte first.
QByteArray wordToBytes(std::uint16_t value);
std::uint16_t bytesToWord(char low, char high);

// The lead part, then, when there is a payload, its checksum and the payload.
QByteArray packet(const QByteArray& lead, const QByteArray& payload);

// Cuts the frame at the front of `buffer` into `frame`. Bytes that cannot
// begin a frame are dropped; an incomplete frame stays for more bytes.
// `frameLength` is the length of the frame being cut, -1 while unknown, and
// is -1 again once a frame is taken.
bool takeFrame(QByteArray& buffer, std::int32_t& frameLength, QByteArray& frame);

// The 16-bit number that an ack frame carries in its first two payload
// bytes (frame bytes 3 and 4), or nothing when the frame is too short.
std::optional<std::uint16_t> ackedNumber(const QByteArray& frame);
// The page number a page request asks for (frame bytes 2 and 3).
std::uint16_t requestedPage(const QByteArray& frame);

} // namespace fwupdate
