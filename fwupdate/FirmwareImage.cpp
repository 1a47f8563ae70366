#include "FirmwareImage.h"

namespace fwupdate {

QByteArray primaryHeader(const QByteArray& image)
{
    return image.left(kHeaderSize);
}

QByteArray primaryPageData(const QByteArray& image)
{
    return image.size() > kHeaderSize ? image.mid(kHeaderSize) : QByteArray();
}

QByteArray alternativeHeaderBlock(const QByteArray& image)
{
    return image.size() > kHeaderSize ? image.mid(kHeaderSize, kAltHeaderSize) : QByteArray();
}

QByteArray alternativePageData(const QByteArray& image)
{
    return image.size() > kAltPageDataOffset ? image.mid(kAltPageDataOffset) : QByteArray();
}

std::int32_t pageCount(const QByteArray& pageData, std::int32_t pageSize)
{
    if (pageSize <= 0)
        return 0;
    return static_cast<std::int32_t>(pageData.size() / pageSize);
}

QByteArray page(const QByteArray& pageData, std::int32_t pageSize, std::int32_t k)
{
    if (k < 0 || k >= pageCount(pageData, pageSize))
        return {};
    return pageData.mid(static_cast<qsizetype>(k) * pageSize, pageSize);
}

} // namespace fwupdate
