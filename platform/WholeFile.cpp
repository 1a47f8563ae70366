#include "WholeFile.h"

#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileLockCall lockCall = &::flock;

// Whether a failed lock means the file system has no locks for this file,
// rather than that another program holds one.
bool lockingUnsupported(int error)
{
    return error == ENOLCK || error == EBADF || error == EINVAL || error == EOPNOTSUPP;
}

WholeFile unreadable(int error)
{
    return {FileRead::Unreadable, {}, systemErrorText(error)};
}

} // namespace

QString withSystemText(const QString& message, const QString& systemText)
{
    return systemText.isEmpty() ? message : message + QLatin1Char('\n') + systemText;
}

void setFileLockCall(FileLockCall call)
{
    lockCall = call != nullptr ? call : &::flock;
}

WholeFile readWholeFile(const QString& path, qsizetype maxBytes)
{
    // Non-blocking, so that a named pipe given as the path cannot hold the window.
    const Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? WholeFile{} : unreadable(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    if (lockCall(file.get(), LOCK_EX | LOCK_NB) != 0 && !lockingUnsupported(errno))
        return {};
    if (status.st_size > maxBytes)
        return {FileRead::TooLarge, {}, {}};

    // The size taken at the start is only a hint: the file is read to its end.
    QByteArray data;
    data.reserve(static_cast<qsizetype>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return unreadable(errno);
        if (count == 0)
            break;
        if (data.size() + count > maxBytes)
            return {FileRead::TooLarge, {}, {}};
        data.append(buffer, count);
    }
    return {FileRead::Read, std::move(data), {}};
}

} // namespace platform
