#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The files the simulated adapter understands, and samples of them.
//
// A firmware image for it carries, in its first eight bytes, "VELMORA1"
// and then its whole length (32 bits, low byte first); the 184-byte block
// from offset 80 carries "VELMORA0" and the same length, for its older
// bootloader that takes the image without the header packet. The
// configurator itself interprets none of this.
//
// A mode file is 80 bytes: a mode ID of 1 to 3 of 0-9 and A-Z, padded with
// spaces to 3 bytes, then the mode's description, padded with NUL bytes.
namespace sim {

inline constexpr char kImageMagic[] = "VELMORA1";
inline constexpr char kAltImageMagic[] = "VELMORA0";
inline constexpr qsizetype kMagicSize = 8;
inline constexpr qsizetype kImageHeaderSize = 80;
inline constexpr qsizetype kAltBlockSize = 184;
inline constexpr qsizetype kModeFileSize = 80;

// An image with `pageDataBytes` bytes after its header, in a fixed
// pseudo-random pattern, so that a byte out of place shows.
QByteArray sampleFirmwareImage(qsizetype pageDataBytes);
// The image length a header block names, if it is one of ours (`magic` tells which).
std::optional<qsizetype> imageLength(const QByteArray& block, const char* magic);

struct Mode;
QByteArray modeFile(const QByteArray& id, const QByteArray& description);
// The mode a mode file installs, if it holds one.
std::optional<Mode> modeOfFile(const QByteArray& file);

} // namespace sim
