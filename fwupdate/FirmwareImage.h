#pragma once

#include <QByteArray>

#include <cstdint>

// How a firmware image is cut for its upload. No byte of it is interpreted:
// the regions lie at fixed offsets, and the page size comes from the
// bootloader. Two layouts share the front of the file:
//
//   offsets 0..79     primary header, sent inside the header packet
//   offsets 80..end   page data of the primary layout
//   offsets 80..263   alternative header block, written raw to a bootloader
//                     that does not answer the header packet
//   offsets 264..end  page data of the alternative layout
namespace fwupdate {

inline constexpr qsizetype kHeaderSize = 80;
inline constexpr qsizetype kAltHeaderSize = 184;
inline constexpr qsizetype kAltPageDataOffset = kHeaderSize + kAltHeaderSize;

QByteArray primaryHeader(const QByteArray& image);
QByteArray primaryPageData(const QByteArray& image);
// Shorter than 184 bytes, or empty, when the image ends inside the block.
QByteArray alternativeHeaderBlock(const QByteArray& image);
QByteArray alternativePageData(const QByteArray& image);

// Whole pages of `pageSize` bytes in the page data; the rest is never sent.
std::int32_t pageCount(const QByteArray& pageData, std::int32_t pageSize);
// Page k: `pageSize` bytes from offset k × pageSize; empty from the page count on.
QByteArray page(const QByteArray& pageData, std::int32_t pageSize, std::int32_t k);

} // namespace fwupdate
