#pragma once

#include <QByteArray>
#include <QByteArrayList>

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

// How one simulated adapter behaves: at which line setting and to which
// command prefixes it answers, what it says, and how its replies travel.
struct AdapterProfile {
    LineSetting line{115200, 'N', 8};
    QByteArrayList prefixes{kFirstPrefix, kSecondPrefix};
    QByteArrayList identityLines; // the reply to "I"
    QByteArrayList statusLines;   // the reply to "S"
    bool answersStatus = true;
    QByteArray noiseBeforeBlock;  // sent ahead of every reply block
    int pieceSize = 0;            // replies leave in pieces of this many bytes; 0: whole
};

// A well-behaved adapter at 115200,N,8 that knows both prefixes.
AdapterProfile standardProfile();

// The named behaviours the simulator offers:
//   standard       answers everything
//   silent         answers nothing
//   second-prefix  knows only the second prefix
//   no-status      answers "I" but never "S"
//   noise          sends noise bytes before every block
//   pieces         sends its replies in pieces of three bytes
std::optional<AdapterProfile> scenarioProfile(const QByteArray& name);
QByteArrayList scenarioNames();

} // namespace sim
