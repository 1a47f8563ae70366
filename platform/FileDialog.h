#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// What an open-file dialog is set up with before it runs. The filter is a
// list of descriptions and patterns separated by "|", as in
// "RFW-files|*.rfw|All files|*.*".
struct OpenFileRequest {
    QWidget* parent = nullptr;
    QString title;
    QString fileName;
    QString defaultExtension;
    QString filter;
};

// Asks the user for an existing file; returns its path, or nothing when the
// dialog was cancelled.
std::optional<QString> chooseFileToOpen(const OpenFileRequest& request);

// The filter as the toolkit's name filters. Patterns match without regard to
// case, as on the system the filter texts come from, and "*.*" matches every
// file, also one without a dot in its name.
QStringList nameFilters(const QString& filter);

// Tests answer the dialog instead. An empty presenter restores the real dialog.
using OpenFilePresenter = std::function<std::optional<QString>(const OpenFileRequest&)>;
void setOpenFilePresenter(OpenFilePresenter presenter);

} // namespace platform
