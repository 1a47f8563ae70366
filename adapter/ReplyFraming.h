#pragma once

#include <QByteArrayList>

namespace adapter {

// Start markers of a reply block: a line end followed by the product line's
// prefix. The "CR:" form wins whenever both are present.
inline constexpr char kBlockStartCopyright[] = "\r\nCR:";
inline constexpr char kBlockStartUsb[] = "\r\nUSB-";
// A block ends at its first empty line.
inline constexpr char kBlockEnd[] = "\r\n\r\n";

// Cuts the first complete reply block out of the received bytes.
//
// Until a start marker has been seen (`inBlock` false), everything before
// the marker is dropped once the marker turns up; while none has, only the
// tail that may still begin one is kept, so a port that never sends a marker
// costs no memory. When the block's end has arrived, `replyBlock` gets the
// text between the marker's line end and the terminating empty line, the
// block and its terminator leave `received`, and the result is true. Bytes
// after the terminator stay for the next block.
//
// `endScannedTo` remembers how far an open block has been searched for its
// end, so that each call looks only at what is new; it starts at 0, and the
// call keeps it. Markers and terminators split across reads are found.
bool FrameReply(QByteArray& received, bool& inBlock, QByteArray& replyBlock, qsizetype& endScannedTo);

// The end of `received` that could still grow into a start marker: its
// longest tail that is the beginning of one.
qsizetype markerTailLength(const QByteArray& received);

// The lines of a reply block, which are separated by CR LF.
QByteArrayList blockLines(const QByteArray& replyBlock);

} // namespace adapter
