#pragma once

#include "Bootloader.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

#include <cstdint>
#include <optional>

namespace sim {

// The line setting a byte travels at. An adapter makes sense only of bytes
// sent at its own setting; anything else reaches it as noise.
struct LineSetting {
    std::uint32_t baud = 0;
    char parity = 'N'; // N, O, E, M or S
    int dataBits = 8;
    friend bool operator==(const LineSetting&, const LineSetting&) = default;
};

QByteArray lineSettingText(const LineSetting& line);

// The unlock texts the adapter's firmware knows, in the order the configurator tries them.
inline constexpr char kFirstPrefix[] = "!zatTPN_UD_";
inline constexpr char kSecondPrefix[] = "!KORVANE_JwtljzqZuiwdab_";

// One of the adapter's operating modes.
struct Mode {
    QByteArray id; // 1 to 3 of 0-9 and A-Z; no listed ID begins another
    QByteArray description;
};

// How one simulated adapter behaves: at which line setting and to which
// command prefixes it answers, what it says and does, and how its replies travel.
struct AdapterProfile {
    LineSetting line{115200, 'N', 8};
    QByteArrayList prefixes{kFirstPrefix, kSecondPrefix};
    QByteArray productLine = "CR:(c) 2026 Korvane, Velmora VT-2"; // first line of every reply
    QByteArrayList identityLines; // the rest of the reply to "I"
    bool answersStatus = true;    // "S" is answered with power, voltage and modes
    std::optional<bool> externalPower = true; // none: not reported, "P" not understood
    bool powerSwitches = true;    // false: "P" is answered, but the power stays as it is
    QByteArray supplyReading = "5A"; // the "UP:" reading in hex; empty: not reported
    QList<Mode> modes;
    QByteArray activeMode;        // an ID; empty: no "Selected Mode: " line
    bool promptsForData = true;   // "M" and "P" are answered before their data arrives
    QByteArrayList selfTestLines; // the self-test's output; empty: "T" not understood
    int selfTestLineGapMs = 125;
    int selfTestStopsAfter = -1;  // lines sent before the test breaks off; -1: it completes
    bool selfTestEndless = false; // the test repeats its lines without end, never closing its block
    QByteArray noiseBeforeBlock;  // sent ahead of every reply block
    int pieceSize = 0;            // replies leave in pieces of this many bytes; 0: whole
    BootloaderProfile bootloader; // started by "U", left once an upload has ended well
    bool startsInBootloader = false; // as after an upload that did not end well
};

// Bytes that a line left at a new terminal's defaults would swallow or
// translate: XON, XOFF, a lone CR, NUL, a lone LF and 0xFF. No CR is followed
// by an LF, so they can stand inside a reply line.
inline const QByteArray kLineHazards("\x11\x13\r\x00\n\xff", 6);

// The line setting the bootloader talks at, whatever the adapter's own.
inline constexpr LineSetting kBootloaderLine{115200, 'N', 8};

// A well-behaved adapter at 115200,N,8 that knows both prefixes.
AdapterProfile standardProfile();

// The named behaviours the simulator offers:
//   standard       answers everything
//   silent         answers nothing
//   second-prefix  knows only the second prefix
//   no-status      answers "I" but never "S"
//   noise          sends noise bytes before every block
//   pieces         sends its replies in pieces of three bytes
//   test-stops     breaks off its self-test half-way
//   power-stuck    cannot switch its external power on, and says so
//   alt-header     an older bootloader: silent to the header packet, it takes
//                  the image's alternative header block
//   page-naks      the bootloader rejects page 1 once and page 3 three times
//   page-fails     the bootloader rejects page 2 four times, which ends the upload
//   shuffled       the bootloader asks for pages out of order, one of them twice
//   page-beyond    the bootloader asks once for a page above the image's last
//   bootloader-silent  the bootloader never prompts or answers
//   in-bootloader  the adapter sits in its bootloader from the start, prompting
//   eight-bit      its signature and one mode's description hold kLineHazards
//   many-modes     lists 4,000 modes
//   endless-test   its self-test never ends, reporting as fast as the line carries it
std::optional<AdapterProfile> scenarioProfile(const QByteArray& name);
// `count` modes with distinct three-character IDs, listed in ID order.
QList<Mode> manyModes(int count);
QByteArrayList scenarioNames();

} // namespace sim
