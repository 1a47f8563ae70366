#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace adapter {

// What one line of the adapter's reply says. Lines are recognised by fixed
// byte prefixes, compared exactly; most values come in a long and a short form.
enum class ReplyField {
    None,        // matches nothing: ignored
    Mode,        // "ID - description"
    ProductLine, // "USB-..." (kept whole) or "CR:..."
    Serial,      // "Serial Number: " or "SN:"
    Signature,   // "Signature: " or "ID:"
    Firmware,    // "Version " or "FW:"
    Bootloader,  // "BW:"
    Hardware,    // "Hardware: " or "HW:"
    Power,       // "PW:"
    Voltage,     // "UP:"
};

struct ReplyLine {
    ReplyField field = ReplyField::None;
    QByteArray value;       // the rest after the prefix, not trimmed; a mode's ID
    QByteArray description; // a mode's description, possibly empty
};

// Digits and upper-case ASCII letters make up a mode ID.
bool IsModeIdChar(char c);

// The length (1 to 3) of the mode ID that begins the line, when the ID is
// followed by " - "; otherwise 0.
int ModeLineIdLength(const QByteArray& line);

ReplyLine classifyReplyLine(const QByteArray& line);

// The text after "Selected Mode: " when the line names the active mode: the
// mode's ID and whatever follows it.
std::optional<QByteArray> selectedModeText(const QByteArray& line);

// A "PW:" line ticks the power box unless the state reads "Of...".
bool powerLineTicks(const QByteArray& line);

// The reading that starts a "UP:" value: hexadecimal as "%X" reads it
// (leading white space skipped, an optional 0x), 0 when there is none,
// and the largest 32-bit value when it is longer.
std::uint32_t hexReading(const QByteArray& text);

// Supply voltage in tenths of a volt: 0.1345 V a reading step, 0.55 V added.
std::uint64_t supplyVoltageTenths(std::uint32_t reading);
// The voltage as the window shows it, such as "12.6".
QByteArray supplyVoltageText(const QByteArray& upValue);

} // namespace adapter
