#include "ComPort.h"

#include "ComLineState.h"
#include "PortHolders.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>

namespace serdev {

namespace {

// The code of the last failed call of this thread, kept apart from errno,
// which other calls overwrite before the failure is reported.
thread_local Dword lastComError = 0;
// The program that held the port when this thread's last open was refused for it.
thread_local std::optional<PortHolder> refusingHolder;
std::atomic<int> writeStallLimitMs{2000};

Bool fail(int code)
{
    lastComError = static_cast<Dword>(code);
    return 0;
}

// The handle of an open COM port is its file descriptor.
int fdOf(PortHandle handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

PortHandle comCreateFile(const char* name, Dword, Dword share, void*, Dword, Dword, PortHandle)
{
    refusingHolder.reset();
    if (share == 0) {
        // Looked for before the open, which already raises the modem lines:
        // a program on the port without a lock would take the replies.
        refusingHolder = otherPortHolder(name);
        if (refusingHolder) {
            fail(EBUSY);
            return invalidHandle();
        }
    }
    const int fd = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
        return invalidHandle();
    }
    auto refuse = [fd](int code) {
        ::close(fd);
        fail(code);
        return invalidHandle();
    };
    if (share == 0) {
        // TIOCEXCL keeps other users out, but root passes it; the advisory
        // lock is what a second instance of this program meets.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return refuse(errno == EWOULDBLOCK ? EBUSY : errno);
        ::ioctl(fd, TIOCEXCL);
    }
    KernelLine line;
    if (!readKernelLine(fd, line))
        return refuse(errno);
    makeRaw(line);
    if (!writeKernelLine(fd, line))
        return refuse(errno);
    return reinterpret_cast<PortHandle>(static_cast<std::intptr_t>(fd));
}

Bool comCloseHandle(PortHandle handle)
{
    const int fd = fdOf(handle);
    ::ioctl(fd, TIOCNXCL);
    return ::close(fd) == 0 ? 1 : fail(errno);
}

Bool comReadFile(PortHandle handle, void* buffer, Dword count, Dword* read, void*)
{
    *read = 0;
    const ssize_t got = ::read(fdOf(handle), buffer, count);
    if (got >= 0) {
        *read = static_cast<Dword>(got);
        return 1;
    }
    if (errno == EAGAIN || errno == EINTR)
        return 1;
    return fail(errno);
}

Bool comWriteFile(PortHandle handle, const void* bytes, Dword count, Dword* written, void*)
{
    const int fd = fdOf(handle);
    const auto* data = static_cast<const char*>(bytes);
    Dword done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, data + done, count - done);
        if (put > 0) {
            done += static_cast<Dword>(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN)
            break;
        // The output queue is full: wait for room, but not without limit.
        pollfd room{fd, POLLOUT, 0};
        const int ready = ::poll(&room, 1, writeStallLimitMs.load());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            errno = ready == 0 ? ETIMEDOUT : errno;
            break;
        }
    }
    *written = done;
    if (done > 0 || count == 0)
        return 1; // any rest is written by the next call, which meets the failure then
    return fail(errno);
}

Dword comGetLastError(PortHandle)
{
    return lastComError;
}

Bool comClearCommError(PortHandle handle, Dword* errors, COMSTAT* status)
{
    if (errors != nullptr)
        *errors = 0;
    int in = 0;
    int out = 0;
    const bool ok = ::ioctl(fdOf(handle), TIOCINQ, &in) == 0 && ::ioctl(fdOf(handle), TIOCOUTQ, &out) == 0;
    if (status != nullptr) {
        status->cbInQue = ok ? static_cast<Dword>(in) : 0;
        status->cbOutQue = ok ? static_cast<Dword>(out) : 0;
    }
    return ok ? 1 : fail(errno);
}

Bool setModemLine(int fd, int line, bool on)
{
    // Pseudo-terminals have no modem lines; that failure is of no interest.
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0 ? 1 : 0;
}

Bool comEscapeCommFunction(PortHandle handle, Dword function)
{
    switch (function) {
    case kSetRts: return setModemLine(fdOf(handle), TIOCM_RTS, true);
    case kClrRts: return setModemLine(fdOf(handle), TIOCM_RTS, false);
    case kSetDtr: return setModemLine(fdOf(handle), TIOCM_DTR, true);
    case kClrDtr: return setModemLine(fdOf(handle), TIOCM_DTR, false);
    default: return fail(EINVAL);
    }
}

Bool comPurgeComm(PortHandle handle, Dword flags)
{
    const bool rx = (flags & kPurgeRxClear) != 0;
    const bool tx = (flags & kPurgeTxClear) != 0;
    if (!rx && !tx)
        return 1;
    const int queue = rx && tx ? TCIOFLUSH : (rx ? TCIFLUSH : TCOFLUSH);
    return ::tcflush(fdOf(handle), queue) == 0 ? 1 : fail(errno);
}

bool modemLines(int fd, bool& rts, bool& dtr)
{
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0)
        return false;
    rts = (lines & TIOCM_RTS) != 0;
    dtr = (lines & TIOCM_DTR) != 0;
    return true;
}

Bool comSetCommState(PortHandle handle, DCB* dcb)
{
    const int fd = fdOf(handle);
    KernelLine line;
    if (!readKernelLine(fd, line))
        return fail(errno);
    if (!applyDcb(*dcb, line))
        return fail(EINVAL);
    if (!writeKernelLine(fd, line))
        return fail(errno);
    if (dcb->fRtsControl != kLineControlHandshake)
        setModemLine(fd, TIOCM_RTS, dcb->fRtsControl == kLineControlEnable);
    if (dcb->fDtrControl != kLineControlHandshake)
        setModemLine(fd, TIOCM_DTR, dcb->fDtrControl == kLineControlEnable);
    return 1;
}

Bool comGetCommState(PortHandle handle, DCB* dcb)
{
    const int fd = fdOf(handle);
    KernelLine line;
    if (!readKernelLine(fd, line))
        return fail(errno);
    bool rts = false;
    bool dtr = false;
    modemLines(fd, rts, dtr); // none on a pseudo-terminal: both read as dropped
    readDcb(line, rts, dtr, *dcb);
    return 1;
}

Bool comSetupComm(PortHandle, Dword, Dword)
{
    return 1; // the kernel sizes its own queues
}

template <CommOp Op> void put(CommApiColumn& column, typename CommOpSignature<Op>::type function)
{
    column.setEntry(CommApiColumn::index(Op), reinterpret_cast<void*>(function));
}

} // namespace

std::optional<PortHolder> comPortHolderOfLastRefusal()
{
    return refusingHolder;
}

CommApiColumn comPortColumn()
{
    CommApiColumn column;
    put<CommOp::CreateFile>(column, comCreateFile);
    put<CommOp::CloseHandle>(column, comCloseHandle);
    put<CommOp::ReadFile>(column, comReadFile);
    put<CommOp::WriteFile>(column, comWriteFile);
    put<CommOp::GetLastError>(column, comGetLastError);
    put<CommOp::ClearCommError>(column, comClearCommError);
    put<CommOp::EscapeCommFunction>(column, comEscapeCommFunction);
    put<CommOp::PurgeComm>(column, comPurgeComm);
    put<CommOp::SetCommState>(column, comSetCommState);
    put<CommOp::GetCommState>(column, comGetCommState);
    put<CommOp::SetupComm>(column, comSetupComm);
    return column;
}

void setComWriteStallLimitMs(int ms)
{
    writeStallLimitMs.store(ms);
}

int comWriteStallLimitMs()
{
    return writeStallLimitMs.load();
}

} // namespace serdev
