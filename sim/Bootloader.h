#pragma once

#include <QByteArray>
#include <QMap>

#include <cstdint>
#include <deque>
#include <optional>

namespace sim {

// How the simulated adapter's bootloader behaves.
struct BootloaderProfile {
    std::uint16_t pageSize = 256; // announced in answer to the header; 64 to 1024
    // false: an older bootloader, silent to the header packet, that takes
    // the image's raw alternative header block instead.
    bool answersHeaderPacket = true;
    QMap<int, int> naks;        // page -> how many of its packets are rejected before one is taken
    bool requestsOutOfOrder = false; // pages two by two the other way round, the first one twice
    bool requestsBeyondEnd = false;  // asks once for a page above the page count before the end
    bool silent = false;        // never prompts, never answers
    int startupMs = 200;        // from the update command to the first prompt
    int promptPeriodMs = 1000;  // the prompt repeats until a host connects
    int sessionTimeoutMs = 3000; // a host quiet this long is given up; the prompting starts again
};

// What the bootloader has taken in of one upload.
struct ReceivedUpload {
    int number = 0;       // counts the uploads the bootloader has begun, from 1
    QByteArray header;    // the primary header, from the header packet
    QByteArray altHeader; // the alternative header block, for the older bootloader
    std::uint16_t pageSize = 0;
    std::int32_t pageCount = 0;
    QMap<int, QByteArray> pages; // the last packet taken of each page number
    bool complete = false; // the end packet was acknowledged
    int naksSent = 0;

    // The pages 0 to pageCount - 1 one after another, when every one was taken.
    std::optional<QByteArray> pageData() const;
    // The image as it would be kept in flash: header, alternative header block, pages.
    std::optional<QByteArray> image() const;
};

// The adapter's bootloader, on the wire at 115200,N,8. It prompts with ">"
// until a host sends "<", takes the header, names its page size, then asks
// for the pages by number and checks each one by its checksum.
class Bootloader {
public:
    Bootloader(BootloaderProfile profile, std::int64_t startedMs);

    void receive(const QByteArray& bytes, std::int64_t nowMs);
    QByteArray takeSent(std::int64_t nowMs);
    std::optional<std::int64_t> nextSendMs() const;

    // The end was acknowledged and everything sent: the firmware may start.
    bool finished() const { return received_.complete && outbox_.empty(); }
    const ReceivedUpload& received() const { return received_; }

private:
    enum class Step { AwaitConnect, AwaitHeader, AwaitAltHeader, AwaitPage };

    // Drops what comes before the packet's lead byte; false until it has come.
    bool skipTo(char lead);
    bool takeHeader();
    bool takeAltHeader();
    bool takePage();
    void accept(std::int32_t pageCount);
    void requestNext();
    void request(int page);
    // Moves the bootloader's own time on: its prompts, and a session given up.
    void advance(std::int64_t nowMs);
    void restart(std::int64_t nowMs);
    void send(const QByteArray& bytes);
    // The length of the packet that answers `page`, which the bootloader asked for.
    qsizetype packetLength(int page) const;

    BootloaderProfile profile_;
    Step step_ = Step::AwaitConnect;
    QByteArray pending_;
    std::deque<int> requests_; // pages still to ask for, the end's number last
    int requested_ = -1;
    QMap<int, int> naksLeft_;
    std::int64_t nowMs_ = 0;
    std::int64_t nextPromptMs_;
    std::int64_t lastHeardMs_ = 0;
    ReceivedUpload received_;
    int uploadsBegun_ = 0;
    std::deque<QByteArray> outbox_;
};

} // namespace sim
