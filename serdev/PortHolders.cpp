#include "PortHolders.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace serdev {

namespace {

// UNIX 98 pseudo-terminal slaves: majors 136 to 143, 256 minors each.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirCloser>;

// The number of the pseudo-terminal whose slave `device` is; -1 for any other device.
long ptyIndexOf(dev_t device)
{
    const unsigned major = ::major(device);
    if (major < kFirstPtySlaveMajor || major > kLastPtySlaveMajor)
        return -1;
    return static_cast<long>((major - kFirstPtySlaveMajor) * 256 + ::minor(device));
}

// Serial ports are terminals; other device nodes (/dev/null, say) are
// shared by design, and a holder of them takes nothing from anyone.
bool isTerminal(dev_t device)
{
    if (ptyIndexOf(device) >= 0)
        return true; // pseudo-terminals have no entry in sysfs
    const QByteArray entry = "/sys/dev/char/" + QByteArray::number(::major(device)) + ':'
                             + QByteArray::number(::minor(device)) + "/subsystem";
    char target[256];
    const ssize_t length = ::readlink(entry.constData(), target, sizeof target - 1);
    return length > 0 && QByteArray(target, length).endsWith("/tty");
}

QByteArray readSmallFile(const QByteArray& path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

// Whether the open file `fd` of process `pid` is the master of pseudo-terminal `ptyIndex`.
bool isPtyMaster(const QByteArray& processDir, const char* fd, long ptyIndex)
{
    const QByteArray info = readSmallFile(processDir + "/fdinfo/" + fd);
    const qsizetype at = info.indexOf("tty-index:");
    return at >= 0 && std::strtol(info.constData() + at + 10, nullptr, 10) == ptyIndex;
}

struct ProcessView {
    bool holds = false;     // has the device open
    bool isFarEnd = false;  // has the pseudo-terminal's master open
};

ProcessView viewOf(const QByteArray& processDir, dev_t device, long ptyIndex)
{
    ProcessView view;
    const Directory fds(::opendir((processDir + "/fd").constData()));
    if (!fds)
        return view; // gone, or another user's and hidden
    while (const dirent* entry = ::readdir(fds.get())) {
        if (entry->d_name[0] == '.')
            continue;
        const QByteArray fdPath = processDir + "/fd/" + entry->d_name;
        char target[256];
        const ssize_t length = ::readlink(fdPath.constData(), target, sizeof target - 1);
        if (length <= 0)
            continue;
        const QByteArray link(target, length);
        // Only device nodes are looked at: a stat through a link to a file on
        // a hung network share could wait without end.
        if (!link.startsWith("/dev/"))
            continue;
        if (ptyIndex >= 0 && (link == "/dev/ptmx" || link == "/dev/pts/ptmx")) {
            view.isFarEnd = view.isFarEnd || isPtyMaster(processDir, entry->d_name, ptyIndex);
            continue;
        }
        struct stat status {};
        if (::stat(fdPath.constData(), &status) == 0 && S_ISCHR(status.st_mode) && status.st_rdev == device)
            view.holds = true;
    }
    return view;
}

} // namespace

std::optional<PortHolder> otherPortHolder(const QByteArray& path)
{
    struct stat port {};
    if (::stat(path.constData(), &port) != 0 || !S_ISCHR(port.st_mode) || !isTerminal(port.st_rdev))
        return std::nullopt;
    const long ptyIndex = ptyIndexOf(port.st_rdev);
    const pid_t self = ::getpid();

    const Directory processes(::opendir("/proc"));
    if (!processes)
        return std::nullopt;
    while (const dirent* entry = ::readdir(processes.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self)
            continue;
        const QByteArray processDir = QByteArray("/proc/") + entry->d_name;
        const ProcessView view = viewOf(processDir, port.st_rdev, ptyIndex);
        if (view.holds && !view.isFarEnd)
            return PortHolder{static_cast<pid_t>(pid), readSmallFile(processDir + "/comm").trimmed()};
    }
    return std::nullopt;
}

} // namespace serdev
