#include "KeptFile.h"

#include <cstdio>

bool keepFile(const QByteArray& path, const QByteArray& bytes)
{
    std::FILE* file = std::fopen(path.constData(), "wb");
    if (file == nullptr)
        return false;
    const auto size = static_cast<std::size_t>(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
