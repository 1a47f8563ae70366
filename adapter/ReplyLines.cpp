#include "ReplyLines.h"

#include <array>
#include <limits>

namespace adapter {

namespace {

struct Prefix {
    const char* bytes;
    ReplyField field;
    bool keepsPrefix;
};

// In the order they are tried; the first that matches decides.
constexpr std::array kPrefixes{
    Prefix{"USB-", ReplyField::ProductLine, true},
    Prefix{"CR:", ReplyField::ProductLine, false},
    Prefix{"Serial Number: ", ReplyField::Serial, false},
    Prefix{"SN:", ReplyField::Serial, false},
    Prefix{"Signature: ", ReplyField::Signature, false},
    Prefix{"ID:", ReplyField::Signature, false},
    Prefix{"Version ", ReplyField::Firmware, false},
    Prefix{"FW:", ReplyField::Firmware, false},
    Prefix{"BW:", ReplyField::Bootloader, false},
    Prefix{"Hardware: ", ReplyField::Hardware, false},
    Prefix{"HW:", ReplyField::Hardware, false},
    Prefix{"PW:", ReplyField::Power, false},
    Prefix{"UP:", ReplyField::Voltage, false},
};

constexpr char kModeSeparator[] = " - ";

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

bool isFormattedInputSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

bool IsModeIdChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

int ModeLineIdLength(const QByteArray& line)
{
    for (int k = 0; k < 4; ++k) {
        if (line.size() <= k)
            return 0;
        if (!IsModeIdChar(line[k]))
            return line.mid(k, 3) == kModeSeparator ? k : 0;
    }
    return 0; // four ID characters in a row: too long for an ID
}

ReplyLine classifyReplyLine(const QByteArray& line)
{
    if (const int idLength = ModeLineIdLength(line); idLength > 0)
        return {ReplyField::Mode, line.left(idLength), line.mid(idLength + 3)};
    for (const Prefix& prefix : kPrefixes) {
        if (line.startsWith(prefix.bytes))
            return {prefix.field, prefix.keepsPrefix ? line : line.mid(qsizetype(qstrlen(prefix.bytes))), {}};
    }
    return {};
}

std::optional<QByteArray> selectedModeText(const QByteArray& line)
{
    static const QByteArray prefix = "Selected Mode: ";
    if (!line.startsWith(prefix))
        return std::nullopt;
    return line.mid(prefix.size());
}

bool powerLineTicks(const QByteArray& line)
{
    return line.mid(3, 2) != "Of";
}

std::uint32_t hexReading(const QByteArray& text)
{
    qsizetype i = 0;
    while (i < text.size() && isFormattedInputSpace(text[i]))
        ++i;
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && isHexDigit(text[i + 2]))
        i += 2;
    std::uint64_t value = 0;
    for (; i < text.size() && isHexDigit(text[i]); ++i) {
        value = value * 16 + static_cast<std::uint64_t>(hexValue(text[i]));
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

std::uint64_t supplyVoltageTenths(std::uint32_t reading)
{
    return (std::uint64_t{reading} * 11363000u / 844800u + 55u) / 10u;
}

QByteArray supplyVoltageText(const QByteArray& upValue)
{
    const std::uint64_t tenths = supplyVoltageTenths(hexReading(upValue));
    return QByteArray::number(tenths / 10) + '.' + QByteArray::number(tenths % 10);
}

} // namespace adapter
