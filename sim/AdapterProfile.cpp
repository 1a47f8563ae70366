#include "AdapterProfile.h"

namespace sim {

QByteArray lineSettingText(const LineSetting& line)
{
    return QByteArray::number(line.baud) + ',' + line.parity + ',' + QByteArray::number(line.dataBits);
}

AdapterProfile standardProfile()
{
    AdapterProfile profile;
    profile.identityLines = {
        "CR:(c) 2026 Korvane, Velmora VT-2",
        "Serial Number: 20417",
        "Signature: VT2-5F3A-91C0",
        "Version 2.14",
        "Hardware: 3",
        "BW:1.3",
    };
    profile.statusLines = {
        "CR:(c) 2026 Korvane, Velmora VT-2",
        "PW:On",
        "UP:5A",
        "00 - Stock",
        "01 - Stage 1",
        "02 - Stage 2",
        "A1 - Economy",
        "B - Valet",
        "Selected Mode: 01",
    };
    return profile;
}

std::optional<AdapterProfile> scenarioProfile(const QByteArray& name)
{
    AdapterProfile profile = standardProfile();
    if (name == "standard")
        return profile;
    if (name == "silent") {
        profile.prefixes.clear();
        return profile;
    }
    if (name == "second-prefix") {
        profile.prefixes = {kSecondPrefix};
        return profile;
    }
    if (name == "no-status") {
        profile.answersStatus = false;
        return profile;
    }
    if (name == "noise") {
        profile.noiseBeforeBlock = QByteArray("\x00\xff#?\r\n~", 7);
        return profile;
    }
    if (name == "pieces") {
        profile.pieceSize = 3;
        return profile;
    }
    return std::nullopt;
}

QByteArrayList scenarioNames()
{
    return {"standard", "silent", "second-prefix", "no-status", "noise", "pieces"};
}

} // namespace sim
