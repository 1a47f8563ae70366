#include "SimD2xx.h"

#include "serdev/D2xxApi.h"
#include "sim/AdapterCore.h"
#include "sim/LinePace.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

using serdev::Bool;
using serdev::COMSTAT;
using serdev::DCB;
using serdev::Dword;
using serdev::FtDeviceListInfoNode;
using serdev::FtStatus;
using serdev::PortHandle;

namespace simd2xx {

namespace {

struct Device {
    std::string description;
    std::string input;
    std::string output;
    std::uint32_t outputQueue = 0;
    std::deque<std::uint32_t> writeChunks;
    DCB state{};
    std::vector<std::uint32_t> escapes;
    std::vector<std::uint32_t> purges;
    std::vector<std::uint32_t> queueSizes;
    std::uint32_t lastError = 0;
    bool open = false;
    std::unique_ptr<sim::AdapterCore> adapter;
    // Both ways, bytes cross the line no faster than its rate.
    std::string outgoing; // written, not yet across to the adapter
    sim::LinePace outbound;
    std::string arriving; // adapter output not yet in the input queue
    sim::LinePace inbound;
};

sim::LineSetting lineOf(const DCB& state)
{
    static constexpr char kParityLetters[] = "NOEMS";
    const char parity = state.Parity < 5 ? kParityLetters[state.Parity] : '?';
    return {state.BaudRate, parity, state.ByteSize};
}

std::int64_t steadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The adapter's bytes set off towards the input queue at `nowMs`.
void handOver(Device& device, const QByteArray& sent, double nowMs)
{
    if (sent.isEmpty())
        return;
    if (device.arriving.empty())
        device.inbound.wake(nowMs);
    device.arriving.append(sent.constData(), static_cast<std::size_t>(sent.size()));
}

// Moves the line on to `nowMs`: what the program wrote reaches the adapter,
// and what the adapter sent reaches the input queue, each byte in its slot at
// the line's rate (one piece per call when the profile cuts its replies).
void advance(Device& device, double nowMs)
{
    const std::uint32_t baud = device.state.BaudRate;
    const auto across = static_cast<std::size_t>(
        std::min<qsizetype>(device.outbound.due(nowMs, baud), static_cast<qsizetype>(device.outgoing.size())));
    if (across > 0) {
        const QByteArray bytes(device.outgoing.data(), static_cast<qsizetype>(across));
        device.outgoing.erase(0, across);
        device.outbound.spend(static_cast<qsizetype>(across), baud);
        if (device.adapter)
            handOver(device, device.adapter->receive(bytes, lineOf(device.state), static_cast<std::int64_t>(nowMs)),
                     nowMs);
    }
    if (device.adapter)
        handOver(device, device.adapter->takeSent(static_cast<std::int64_t>(nowMs)), nowMs);

    auto count = static_cast<std::size_t>(
        std::min<qsizetype>(device.inbound.due(nowMs, baud), static_cast<qsizetype>(device.arriving.size())));
    const int pieceSize = device.adapter ? device.adapter->profile().pieceSize : 0;
    if (pieceSize > 0)
        count = std::min<std::size_t>(count, static_cast<std::size_t>(pieceSize));
    device.input += device.arriving.substr(0, count);
    device.arriving.erase(0, count);
    device.inbound.spend(static_cast<qsizetype>(count), baud);
}

struct Failure {
    std::uint32_t status = 0;
    int remaining = 0;
};

struct Library {
    std::mutex mutex;
    std::vector<std::string> order; // serial numbers in list order
    std::map<std::string, Device> devices;
    std::map<std::uintptr_t, std::string> handles;
    std::uintptr_t nextHandle = 1;
    std::map<Call, Failure> failures;
    std::map<Call, int> counts;
    std::vector<std::string> namesOpened;
    std::uint32_t lastOpenError = 0;
    std::function<std::int64_t()> nowMs = steadyNowMs;
};

Library& library()
{
    static Library instance;
    return instance;
}

// Counts the call; returns the status it is to fail with, or 0.
std::uint32_t enter(Library& lib, Call call)
{
    ++lib.counts[call];
    auto it = lib.failures.find(call);
    if (it == lib.failures.end() || it->second.remaining == 0)
        return 0;
    --it->second.remaining;
    return it->second.status;
}

Device* deviceOf(Library& lib, PortHandle handle)
{
    auto it = lib.handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == lib.handles.end())
        return nullptr;
    auto device = lib.devices.find(it->second);
    return device == lib.devices.end() ? nullptr : &device->second;
}

Device& named(Library& lib, const std::string& serial)
{
    return lib.devices[serial];
}

// Runs `f` on the device with that serial number, under the library's lock.
template <typename F> auto onDevice(const std::string& serial, F f)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    return f(named(lib, serial));
}

// The common frame of a port call: count it, find the device, apply a scripted failure.
template <typename Body> Bool portCall(Call call, PortHandle handle, Body body)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    const std::uint32_t failure = enter(lib, call);
    Device* device = deviceOf(lib, handle);
    if (device == nullptr)
        return 0;
    if (failure != 0) {
        device->lastError = failure;
        return 0;
    }
    return body(*device);
}

} // namespace

void reset()
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    lib.order.clear();
    lib.devices.clear();
    lib.handles.clear();
    lib.failures.clear();
    lib.counts.clear();
    lib.namesOpened.clear();
    lib.lastOpenError = 0;
    lib.nowMs = steadyNowMs;
}

void setClock(std::function<std::int64_t()> nowMs)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    lib.nowMs = nowMs ? std::move(nowMs) : steadyNowMs;
}

void addDevice(const std::string& serial, const std::string& description)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    if (std::find(lib.order.begin(), lib.order.end(), serial) == lib.order.end())
        lib.order.push_back(serial);
    named(lib, serial).description = description;
}

void removeDevice(const std::string& serial)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    std::erase(lib.order, serial);
    lib.devices.erase(serial);
}

void failCalls(Call call, std::uint32_t status, int times)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    lib.failures[call] = {status, times};
}

void setWriteChunks(const std::string& serial, std::vector<std::uint32_t> chunks)
{
    onDevice(serial, [&](Device& device) { device.writeChunks.assign(chunks.begin(), chunks.end()); });
}

void receive(const std::string& serial, const std::string& bytes)
{
    onDevice(serial, [&](Device& device) { device.input += bytes; });
}

void setOutputQueue(const std::string& serial, std::uint32_t pending)
{
    onDevice(serial, [&](Device& device) { device.outputQueue = pending; });
}

void attachAdapter(const std::string& serial, const sim::AdapterProfile& profile)
{
    onDevice(serial, [&](Device& device) { device.adapter = std::make_unique<sim::AdapterCore>(profile); });
}

std::optional<sim::ReceivedUpload> adapterUpload(const std::string& serial)
{
    return onDevice(serial, [](Device& device) {
        return device.adapter ? device.adapter->upload() : std::optional<sim::ReceivedUpload>();
    });
}

QByteArray adapterModeFile(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.adapter ? device.adapter->modeFile() : QByteArray(); });
}

bool adapterInBootloader(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.adapter && device.adapter->inBootloader(); });
}

std::string written(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.output; });
}

std::uint32_t inputQueue(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return static_cast<std::uint32_t>(device.input.size()); });
}

int callCount(Call call)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    return lib.counts[call];
}

std::vector<std::string> namesOpened()
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    return lib.namesOpened;
}

DCB lastCommState(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.state; });
}

std::vector<std::uint32_t> escapes(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.escapes; });
}

std::vector<std::uint32_t> purges(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.purges; });
}

std::vector<std::uint32_t> queueSizes(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.queueSizes; });
}

bool isOpen(const std::string& serial)
{
    return onDevice(serial, [](Device& device) { return device.open; });
}

} // namespace simd2xx

using namespace simd2xx;

extern "C" {

PortHandle FT_W32_CreateFile(const char* name, Dword, Dword, void*, Dword, Dword flags, PortHandle)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    lib.namesOpened.emplace_back(name != nullptr ? name : "");
    const std::uint32_t failure = enter(lib, Call::CreateFile);
    auto device = lib.devices.find(name != nullptr ? name : "");
    const bool bySerial = (flags & serdev::kFtOpenBySerialNumber) != 0;
    if (failure != 0 || !bySerial || device == lib.devices.end() || device->second.open) {
        lib.lastOpenError = failure != 0 ? failure : kDeviceNotFound;
        return serdev::invalidHandle();
    }
    device->second.open = true;
    const std::uintptr_t handle = lib.nextHandle++;
    lib.handles[handle] = device->first;
    return reinterpret_cast<PortHandle>(handle);
}

Bool FT_W32_CloseHandle(PortHandle handle)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    enter(lib, Call::CloseHandle);
    if (Device* device = deviceOf(lib, handle)) {
        device->open = false;
        device->outgoing.clear(); // what had not left dies with the handle
    }
    return lib.handles.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1 ? 1 : 0;
}

Bool FT_W32_ReadFile(PortHandle handle, void* buffer, Dword count, Dword* read, void*)
{
    *read = 0;
    return portCall(Call::ReadFile, handle, [&](Device& device) {
        const auto n = std::min<std::size_t>(count, device.input.size());
        std::memcpy(buffer, device.input.data(), n);
        device.input.erase(0, n);
        *read = static_cast<Dword>(n);
        return 1;
    });
}

Bool FT_W32_WriteFile(PortHandle handle, const void* bytes, Dword count, Dword* written, void*)
{
    *written = 0;
    return portCall(Call::WriteFile, handle, [&](Device& device) {
        Dword take = count;
        if (!device.writeChunks.empty()) {
            take = std::min(take, device.writeChunks.front());
            device.writeChunks.pop_front();
        }
        device.output.append(static_cast<const char*>(bytes), take);
        const auto nowMs = static_cast<double>(library().nowMs());
        if (device.outgoing.empty())
            device.outbound.wake(nowMs);
        device.outgoing.append(static_cast<const char*>(bytes), take);
        advance(device, nowMs);
        *written = take;
        return 1;
    });
}

Dword FT_W32_GetLastError(PortHandle handle)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    enter(lib, Call::GetLastError);
    if (handle == serdev::invalidHandle())
        return lib.lastOpenError;
    Device* device = deviceOf(lib, handle);
    return device != nullptr ? device->lastError : 1;
}

Bool FT_W32_ClearCommError(PortHandle handle, Dword* errors, COMSTAT* status)
{
    return portCall(Call::ClearCommError, handle, [&](Device& device) {
        *errors = 0;
        advance(device, static_cast<double>(library().nowMs()));
        status->cbInQue = static_cast<Dword>(device.input.size());
        status->cbOutQue = device.outputQueue + static_cast<Dword>(device.outgoing.size());
        return 1;
    });
}

Bool FT_W32_EscapeCommFunction(PortHandle handle, Dword function)
{
    return portCall(Call::EscapeCommFunction, handle, [&](Device& device) {
        device.escapes.push_back(function);
        return 1;
    });
}

#ifndef SIMD2XX_INCOMPLETE
Bool FT_W32_PurgeComm(PortHandle handle, Dword flags)
{
    return portCall(Call::PurgeComm, handle, [&](Device& device) {
        device.purges.push_back(flags);
        if (flags & serdev::kPurgeRxClear)
            device.input.clear();
        if (flags & serdev::kPurgeTxClear) {
            device.outputQueue = 0;
            device.outgoing.clear();
        }
        return 1;
    });
}
#endif

Bool FT_W32_SetCommState(PortHandle handle, DCB* state)
{
    return portCall(Call::SetCommState, handle, [&](Device& device) {
        device.state = *state;
        return 1;
    });
}

Bool FT_W32_GetCommState(PortHandle handle, DCB* state)
{
    return portCall(Call::GetCommState, handle, [&](Device& device) {
        *state = device.state;
        state->DCBlength = sizeof(DCB);
        return 1;
    });
}

Bool FT_W32_SetupComm(PortHandle handle, Dword inQueue, Dword outQueue)
{
    return portCall(Call::SetupComm, handle, [&](Device& device) {
        device.queueSizes = {inQueue, outQueue};
        return 1;
    });
}

FtStatus FT_CreateDeviceInfoList(Dword* count)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    if (const std::uint32_t failure = enter(lib, Call::CreateDeviceInfoList)) {
        *count = 0;
        return failure;
    }
    *count = static_cast<Dword>(lib.order.size());
    return 0;
}

#ifndef SIMD2XX_INCOMPLETE
FtStatus FT_GetDeviceInfoList(FtDeviceListInfoNode* nodes, Dword* count)
{
    Library& lib = library();
    std::lock_guard guard(lib.mutex);
    if (const std::uint32_t failure = enter(lib, Call::GetDeviceInfoList))
        return failure;
    const Dword filled = std::min<Dword>(*count, static_cast<Dword>(lib.order.size()));
    for (Dword i = 0; i < filled; ++i) {
        FtDeviceListInfoNode& node = nodes[i];
        node = FtDeviceListInfoNode{};
        const std::string& serial = lib.order[i];
        std::strncpy(node.SerialNumber, serial.c_str(), sizeof node.SerialNumber - 1);
        std::strncpy(node.Description, lib.devices[serial].description.c_str(), sizeof node.Description - 1);
    }
    *count = filled;
    return 0;
}
#endif

} // extern "C"
