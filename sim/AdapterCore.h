#pragma once

#include "AdapterProfile.h"

#include <QByteArray>

namespace sim {

// The adapter's side of the protocol, without any transport: bytes come in
// with the line setting they travelled at, and reply bytes go out.
//
// A command is one of the adapter's prefixes followed by one letter. Bytes at
// another line setting than the adapter's arrive garbled, so they are dropped
// with any command begun before them.
class AdapterCore {
public:
    explicit AdapterCore(AdapterProfile profile);

    // Everything the adapter sends in answer to `bytes`.
    QByteArray receive(const QByteArray& bytes, const LineSetting& line);

    const AdapterProfile& profile() const { return profile_; }
    // The command letters understood so far, in order.
    const QByteArray& commandsHeard() const { return heard_; }

private:
    QByteArray answer(char letter) const;
    QByteArray block(const QByteArrayList& lines) const;
    qsizetype longestPrefix() const;

    AdapterProfile profile_;
    QByteArray pending_;
    QByteArray heard_;
};

} // namespace sim
