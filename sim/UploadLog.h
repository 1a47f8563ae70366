#pragma once

#include "AdapterCore.h"

#include <QByteArray>

// Tells the simulator's user how the bootloader fares, and keeps each image
// it takes in whole, so that it can be compared with the file uploaded.
class UploadLog {
public:
    // With an empty path nothing is kept.
    explicit UploadLog(QByteArray keepPath);
    // Logs what has changed since the last call.
    void update(const sim::AdapterCore& adapter);

private:
    void updateUpload(const sim::AdapterCore& adapter);
    void report(const sim::ReceivedUpload& upload);

    QByteArray keepPath_;
    bool inBootloader_ = false;
    int number_ = 0;
    int naks_ = 0;
    bool reported_ = true; // nothing to report until an upload completes
};
