#include "UploadLog.h"

#include "KeptFile.h"

#include <cstdio>

UploadLog::UploadLog(QByteArray keepPath)
    : keepPath_(std::move(keepPath))
{
}

void UploadLog::update(const sim::AdapterCore& adapter)
{
    if (adapter.inBootloader() && !inBootloader_) {
        inBootloader_ = true;
        number_ = 0; // a bootloader counts its uploads from 1 again
        naks_ = 0;
        std::fprintf(stderr, "velmora-adapter-sim: bootloader running\n");
    }
    updateUpload(adapter);
    if (!adapter.inBootloader() && inBootloader_) {
        inBootloader_ = false;
        std::fprintf(stderr, "velmora-adapter-sim: firmware running\n");
    }
}

void UploadLog::updateUpload(const sim::AdapterCore& adapter)
{
    const std::optional<sim::ReceivedUpload> upload = adapter.upload();
    if (!upload)
        return;
    if (upload->number != number_) {
        number_ = upload->number;
        naks_ = 0;
        std::fprintf(stderr, "velmora-adapter-sim: bootloader took the %s header: %d pages of %d bytes\n",
                     upload->altHeader.isEmpty() ? "primary" : "alternative", upload->pageCount, upload->pageSize);
    }
    if (upload->naksSent != naks_) {
        naks_ = upload->naksSent;
        std::fprintf(stderr, "velmora-adapter-sim: bootloader rejected a page (%d so far)\n", naks_);
    }
    if (upload->complete && !reported_) {
        reported_ = true;
        report(*upload);
    } else if (!upload->complete) {
        reported_ = false;
    }
}

void UploadLog::report(const sim::ReceivedUpload& upload)
{
    const std::optional<QByteArray> image = upload.image();
    if (!image) {
        std::fprintf(stderr, "velmora-adapter-sim: upload ended with pages missing\n");
        return;
    }
    std::fprintf(stderr,
                 "velmora-adapter-sim: upload complete: all %d pages taken, each with its checksum right "
                 "(%d bytes with the header)\n",
                 upload.pageCount, static_cast<int>(image->size()));
    if (keepPath_.isEmpty())
        return;
    const bool kept = keepFile(keepPath_, *image);
    std::fprintf(stderr, kept ? "velmora-adapter-sim: image kept in %s\n" : "velmora-adapter-sim: cannot write %s\n",
                 keepPath_.constData());
}
