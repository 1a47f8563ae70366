#include "Bootloader.h"

#include "SampleFiles.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

constexpr qsizetype kHeaderPacketSize = 3 + kImageHeaderSize;
constexpr std::uint16_t kEndNumber = 0xFFFF;

std::uint16_t sumOf(const QByteArray& bytes)
{
    std::uint32_t sum = 0;
    for (const char byte : bytes)
        sum += static_cast<std::uint8_t>(byte);
    return static_cast<std::uint16_t>(sum);
}

QByteArray word(std::uint16_t value)
{
    QByteArray bytes(2, '\0');
    bytes[0] = static_cast<char>(value & 0xFF);
    bytes[1] = static_cast<char>(value >> 8);
    return bytes;
}

std::uint16_t wordAt(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at])
                                      | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

QByteArray ack(std::uint16_t number)
{
    return QByteArray("+\x02", 2) + word(number);
}

} // namespace

std::optional<QByteArray> ReceivedUpload::pageData() const
{
    QByteArray data;
    for (int k = 0; k < pageCount; ++k) {
        if (!pages.contains(k))
            return std::nullopt;
        data += pages[k];
    }
    return data;
}

std::optional<QByteArray> ReceivedUpload::image() const
{
    const std::optional<QByteArray> data = pageData();
    if (!data)
        return std::nullopt;
    return header + altHeader + *data;
}

Bootloader::Bootloader(BootloaderProfile profile, std::int64_t startedMs)
    : profile_(std::move(profile))
    , nowMs_(startedMs)
    , nextPromptMs_(startedMs + profile_.startupMs)
{
}

void Bootloader::receive(const QByteArray& bytes, std::int64_t nowMs)
{
    if (profile_.silent)
        return;
    advance(nowMs); // catches up with the prompts and the session's end
    lastHeardMs_ = nowMs;
    pending_ += bytes;
    for (bool progress = true; progress && !pending_.isEmpty();) {
        switch (step_) {
        case Step::AwaitConnect:
            // A host may connect before the first prompt; other bytes are noise.
            progress = skipTo('<');
            if (progress) {
                pending_.remove(0, 1);
                send(QByteArray("+\x00", 2));
                step_ = profile_.answersHeaderPacket ? Step::AwaitHeader : Step::AwaitAltHeader;
            }
            break;
        case Step::AwaitHeader: progress = takeHeader(); break;
        case Step::AwaitAltHeader: progress = takeAltHeader(); break;
        case Step::AwaitPage: progress = takePage(); break;
        }
    }
}

bool Bootloader::skipTo(char lead)
{
    const qsizetype at = pending_.indexOf(lead);
    pending_.remove(0, at < 0 ? pending_.size() : at);
    return at >= 0;
}

bool Bootloader::takeHeader()
{
    if (!skipTo('#') || pending_.size() < kHeaderPacketSize)
        return false;
    const QByteArray header = pending_.mid(3, kImageHeaderSize);
    const bool intact = wordAt(pending_, 1) == sumOf(header);
    pending_.remove(0, kHeaderPacketSize);
    const std::optional<qsizetype> length = imageLength(header, kImageMagic);
    if (!intact || !length || *length < kImageHeaderSize) {
        send("-"); // no image of ours: the host gives up, the bootloader waits for the next
        step_ = Step::AwaitConnect;
        return true;
    }
    received_ = {};
    received_.header = header;
    accept(static_cast<std::int32_t>((*length - kImageHeaderSize) / profile_.pageSize));
    return true;
}

bool Bootloader::takeAltHeader()
{
    // The header packet means nothing to this bootloader: it waits for its own block.
    const qsizetype at = pending_.indexOf(kAltImageMagic);
    if (at < 0) {
        pending_.remove(0, std::max<qsizetype>(0, pending_.size() - (kMagicSize - 1)));
        return false;
    }
    pending_.remove(0, at);
    if (pending_.size() < kAltBlockSize)
        return false;
    const QByteArray block = pending_.left(kAltBlockSize);
    pending_.remove(0, kAltBlockSize);
    const qsizetype length = imageLength(block, kAltImageMagic).value_or(0);
    received_ = {};
    received_.altHeader = block;
    accept(static_cast<std::int32_t>(std::max<qsizetype>(0, length - kImageHeaderSize - kAltBlockSize)
                                     / profile_.pageSize));
    return true;
}

void Bootloader::accept(std::int32_t pageCount)
{
    received_.number = ++uploadsBegun_;
    received_.pageSize = profile_.pageSize;
    received_.pageCount = pageCount;
    naksLeft_ = profile_.naks;
    send(ack(profile_.pageSize));

    requests_.clear();
    for (int k = 0; k < pageCount; ++k)
        requests_.push_back(k);
    if (profile_.requestsOutOfOrder) {
        for (std::size_t k = 0; k + 1 < requests_.size(); k += 2)
            std::swap(requests_[k], requests_[k + 1]);
        if (!requests_.empty())
            requests_.push_front(requests_.front());
    }
    if (profile_.requestsBeyondEnd)
        requests_.push_back(pageCount + 1);
    requests_.push_back(pageCount); // the end
    step_ = Step::AwaitPage;
    requestNext();
}

bool Bootloader::takePage()
{
    const qsizetype length = packetLength(requested_);
    if (!skipTo('@') || pending_.size() < length)
        return false;
    const QByteArray packet = pending_.left(length);
    pending_.remove(0, length);

    const bool isEnd = requested_ == received_.pageCount;
    const std::uint16_t expectedNumber = isEnd ? kEndNumber : static_cast<std::uint16_t>(requested_);
    const QByteArray bytes = length > 5 ? packet.mid(5) : QByteArray();
    const bool intact = wordAt(packet, 1) == expectedNumber && (length == 3 || wordAt(packet, 3) == sumOf(bytes));
    const bool rejected = intact && naksLeft_.value(requested_) > 0;
    if (!intact || rejected) {
        if (rejected)
            --naksLeft_[requested_];
        ++received_.naksSent;
        send("-");
        request(requested_); // the same page again
        return true;
    }
    send(ack(expectedNumber));
    if (isEnd) {
        received_.complete = true;
        step_ = Step::AwaitConnect;
        return true;
    }
    if (requested_ < received_.pageCount)
        received_.pages[requested_] = bytes;
    requestNext();
    return true;
}

qsizetype Bootloader::packetLength(int page) const
{
    // A page the image holds comes with its checksum and bytes; the end, and
    // a page beyond the image, as "@" and the number only.
    return page < received_.pageCount ? 5 + profile_.pageSize : 3;
}

void Bootloader::requestNext()
{
    const int page = requests_.front();
    requests_.pop_front();
    request(page);
}

void Bootloader::request(int page)
{
    requested_ = page;
    send(QByteArray(1, '.') + word(static_cast<std::uint16_t>(page)));
}

void Bootloader::restart(std::int64_t nowMs)
{
    step_ = Step::AwaitConnect;
    pending_.clear();
    nextPromptMs_ = nowMs;
}

void Bootloader::advance(std::int64_t nowMs)
{
    nowMs_ = nowMs;
    if (profile_.silent)
        return;
    if (step_ != Step::AwaitConnect && nowMs - lastHeardMs_ >= profile_.sessionTimeoutMs)
        restart(nowMs);
    if (step_ == Step::AwaitConnect && !received_.complete && nowMs >= nextPromptMs_) {
        send(">");
        nextPromptMs_ = nowMs + profile_.promptPeriodMs;
    }
}

QByteArray Bootloader::takeSent(std::int64_t nowMs)
{
    advance(nowMs);
    QByteArray sent;
    for (; !outbox_.empty(); outbox_.pop_front())
        sent += outbox_.front();
    return sent;
}

std::optional<std::int64_t> Bootloader::nextSendMs() const
{
    if (profile_.silent)
        return std::nullopt;
    if (!outbox_.empty())
        return nowMs_;
    if (step_ == Step::AwaitConnect)
        return received_.complete ? std::optional<std::int64_t>() : nextPromptMs_;
    return lastHeardMs_ + profile_.sessionTimeoutMs;
}

void Bootloader::send(const QByteArray& bytes)
{
    outbox_.push_back(bytes);
}

} // namespace sim
