#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <stop_token>

class QMessageBox;
class QWidget;

namespace platform {

// The style bits of a message box that the program uses, as the MessageBoxA
// flags word spells them.
inline constexpr unsigned kBoxOk = 0x00;
inline constexpr unsigned kBoxIconError = 0x10;
inline constexpr unsigned kBoxIconInformation = 0x40;
inline constexpr int kBoxResultOk = 1;

struct MessageBoxCall {
    QWidget* parent = nullptr;
    QString title;
    QString text;
    unsigned flags = kBoxOk;
    bool fromBackgroundThread = false;
};

// Shows a modal box and returns the button pressed. Widgets live on the
// user-interface thread only, so a box asked for on another thread is queued
// for that thread and the caller waits until it is dismissed, or until `stop`
// is requested (the box is then dropped if it has not been shown yet).
int showMessageBox(QWidget* parent, const QString& title, const QString& text, unsigned flags,
                   std::stop_token stop = {});

// The box that shows `call`, ready to run; its text is plain text.
std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxCall& call);

// Shows every box that another thread has queued; returns whether there was any.
// Runs on its own from the event loop; tests call it to deliver at a known point.
bool deliverQueuedMessageBoxes();

// Tests record boxes instead of showing them. An empty presenter restores QMessageBox.
using MessageBoxPresenter = std::function<int(const MessageBoxCall&)>;
void setMessageBoxPresenter(MessageBoxPresenter presenter);

} // namespace platform
