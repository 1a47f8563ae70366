#include "AdapterCore.h"

#include <algorithm>

namespace sim {

AdapterCore::AdapterCore(AdapterProfile profile)
    : profile_(std::move(profile))
{
}

QByteArray AdapterCore::receive(const QByteArray& bytes, const LineSetting& line)
{
    if (line != profile_.line) {
        pending_.clear();
        return {};
    }
    pending_ += bytes;

    QByteArray reply;
    for (;;) {
        // The earliest complete command wins; a prefix needs its letter to count.
        qsizetype commandAt = -1;
        qsizetype letterAt = -1;
        for (const QByteArray& prefix : profile_.prefixes) {
            const qsizetype at = pending_.indexOf(prefix);
            if (at >= 0 && at + prefix.size() < pending_.size() && (commandAt < 0 || at < commandAt)) {
                commandAt = at;
                letterAt = at + prefix.size();
            }
        }
        if (commandAt < 0)
            break;
        const char letter = pending_[letterAt];
        pending_.remove(0, letterAt + 1);
        heard_ += letter;
        reply += answer(letter);
    }
    // Keep only what could still grow into a command.
    const qsizetype keep = longestPrefix();
    if (pending_.size() > keep)
        pending_.remove(0, pending_.size() - keep);
    return reply;
}

QByteArray AdapterCore::answer(char letter) const
{
    switch (letter) {
    case 'I':
        return block(profile_.identityLines);
    case 'S':
        return profile_.answersStatus ? block(profile_.statusLines) : QByteArray();
    default:
        return {};
    }
}

QByteArray AdapterCore::block(const QByteArrayList& lines) const
{
    return profile_.noiseBeforeBlock + "\r\n" + lines.join("\r\n") + "\r\n\r\n";
}

qsizetype AdapterCore::longestPrefix() const
{
    qsizetype longest = 0;
    for (const QByteArray& prefix : profile_.prefixes)
        longest = std::max(longest, prefix.size());
    return longest;
}

} // namespace sim
