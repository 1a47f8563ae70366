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
        "Serial Number: 20417",
        "Signature: VT2-5F3A-91C0",
        "Version 2.14",
        "Hardware: 3",
        "BW:1.3",
    };
    // Listed neither by ID nor by description, so that each column sorts differently.
    profile.modes = {
        {"00", "Stock"},
        {"A1", "Economy"},
        {"01", "Stage 1"},
        {"02", "Stage 2"},
        {"B7", "Valet"},
    };
    profile.activeMode = "01";
    profile.selfTestLines = {
        "Self-test started",
        "Supply voltage: 12.6 V",
        "RAM: Ok",
        "Flash: Ok",
        "CAN bus: Ok",
        "K-Line: Ok",
        "Ext. power switch: Ok",
        "Self-test passed",
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
    if (name == "test-stops") {
        profile.selfTestStopsAfter = static_cast<int>(profile.selfTestLines.size() / 2);
        return profile;
    }
    if (name == "power-stuck") {
        profile.externalPower = false;
        profile.powerSwitches = false;
        return profile;
    }
    if (name == "alt-header") {
        profile.bootloader.answersHeaderPacket = false;
        return profile;
    }
    if (name == "page-naks") {
        profile.bootloader.naks = {{1, 1}, {3, 3}};
        return profile;
    }
    if (name == "page-fails") {
        profile.bootloader.naks = {{2, 4}};
        return profile;
    }
    if (name == "shuffled") {
        profile.bootloader.requestsOutOfOrder = true;
        return profile;
    }
    if (name == "page-beyond") {
        profile.bootloader.requestsBeyondEnd = true;
        return profile;
    }
    if (name == "bootloader-silent") {
        profile.bootloader.silent = true;
        return profile;
    }
    if (name == "in-bootloader") {
        profile.startsInBootloader = true;
        return profile;
    }
    if (name == "eight-bit") {
        profile.identityLines[1] = "Signature: VT2-" + kLineHazards + "-91C0";
        profile.modes.append({"C9", "Eight-bit " + kLineHazards + " mode"});
        return profile;
    }
    if (name == "many-modes") {
        profile.modes = manyModes(4000);
        profile.activeMode = profile.modes[2026].id;
        return profile;
    }
    if (name == "endless-test") {
        profile.selfTestEndless = true;
        profile.selfTestLineGapMs = 1;
        return profile;
    }
    return std::nullopt;
}

QList<Mode> manyModes(int count)
{
    // IDs of three characters from 0-9 and A-Z, so that none begins another.
    constexpr char kIdCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr int kBase = sizeof kIdCharacters - 1;
    QList<Mode> modes;
    for (int n = 0; n < count; ++n) {
        const char digits[] = {kIdCharacters[n / (kBase * kBase) % kBase], kIdCharacters[n / kBase % kBase],
                               kIdCharacters[n % kBase]};
        const QByteArray id(digits, sizeof digits);
        // Descriptions in another order than the IDs, so that each sort column moves rows.
        modes.append({id, "Map " + QByteArray::number((n * 7919) % count)});
    }
    return modes;
}

QByteArrayList scenarioNames()
{
    return {"standard",  "silent",     "second-prefix", "no-status", "noise",
            "pieces",    "test-stops", "power-stuck",   "alt-header", "page-naks",
            "page-fails", "shuffled",  "page-beyond",   "bootloader-silent", "in-bootloader",
            "eight-bit", "many-modes", "endless-test"};
}

} // namespace sim
