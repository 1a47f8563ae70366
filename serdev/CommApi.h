#pragma once

#include "CommTypes.h"

#include <array>
#include <cstddef>

namespace serdev {

// The eleven port operations, in table order. Every device call goes through
// them; the COM column is ours (termios), the D2XX column is the library's.
enum class CommOp : std::size_t {
    CreateFile,
    CloseHandle,
    ReadFile,
    WriteFile,
    GetLastError,
    ClearCommError,
    EscapeCommFunction,
    PurgeComm,
    SetCommState,
    GetCommState,
    SetupComm,
};
inline constexpr std::size_t kCommOpCount = 11;

// The D2XX entry point of each is "FT_W32_" followed by its name.
inline constexpr std::array<const char*, kCommOpCount> CommApiNames = {
    "CreateFile",     "CloseHandle",        "ReadFile",  "WriteFile",
    "GetLastError",   "ClearCommError",     "EscapeCommFunction",
    "PurgeComm",      "SetCommState",       "GetCommState", "SetupComm",
};

template <CommOp> struct CommOpSignature;
template <> struct CommOpSignature<CommOp::CreateFile> {
    using type = PortHandle (*)(const char* name, Dword access, Dword share, void* security,
                            Dword creation, Dword flags, PortHandle templateFile);
};
template <> struct CommOpSignature<CommOp::CloseHandle> { using type = Bool (*)(PortHandle); };
template <> struct CommOpSignature<CommOp::ReadFile> {
    using type = Bool (*)(PortHandle, void* buffer, Dword count, Dword* read, void* overlapped);
};
template <> struct CommOpSignature<CommOp::WriteFile> {
    using type = Bool (*)(PortHandle, const void* bytes, Dword count, Dword* written, void* overlapped);
};
template <> struct CommOpSignature<CommOp::GetLastError> { using type = Dword (*)(PortHandle); };
template <> struct CommOpSignature<CommOp::ClearCommError> {
    using type = Bool (*)(PortHandle, Dword* errors, COMSTAT* status);
};
template <> struct CommOpSignature<CommOp::EscapeCommFunction> { using type = Bool (*)(PortHandle, Dword); };
template <> struct CommOpSignature<CommOp::PurgeComm> { using type = Bool (*)(PortHandle, Dword); };
template <> struct CommOpSignature<CommOp::SetCommState> { using type = Bool (*)(PortHandle, DCB*); };
template <> struct CommOpSignature<CommOp::GetCommState> { using type = Bool (*)(PortHandle, DCB*); };
template <> struct CommOpSignature<CommOp::SetupComm> {
    using type = Bool (*)(PortHandle, Dword inQueue, Dword outQueue);
};

// One column of the table: an entry per operation, empty until filled.
class CommApiColumn {
public:
    template <CommOp Op> typename CommOpSignature<Op>::type get() const
    {
        return reinterpret_cast<typename CommOpSignature<Op>::type>(entries_[index(Op)]);
    }
    void setEntry(std::size_t op, void* function) { entries_[op] = function; }

    static constexpr std::size_t index(CommOp op) { return static_cast<std::size_t>(op); }

private:
    std::array<void*, kCommOpCount> entries_{};
};

// Port kinds, which pick the column.
inline constexpr int kKindCom = 0;
inline constexpr int kKindUsb = 1;
inline constexpr int kKindUnknown = 2;

} // namespace serdev
