#include "HandlerGuard.h"

#include "SettingsStore.h"
#include "UnitMainData.h"
#include "platform/SettingsKey.h"
#include "platform/MessageBox.h"

#include <QApplication>

#include <cstdio>

namespace app {

namespace {

QString errorText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const platform::SettingsError& e) {
        // A file that cannot be written is named, with what to do about it.
        QString text = QString::fromUtf8(e.what());
        if (!e.reason().isEmpty())
            text += QLatin1Char('\n') + settingsFileTrouble(e.reason());
        return text;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return {};
    }
}

} // namespace

void showEscapedError(std::exception_ptr error)
{
    const QString text = errorText(error);
    if (qApp == nullptr) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    platform::showMessageBox(QApplication::activeWindow(), applicationTitle(), text, platform::kBoxIconError);
}

void runHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        showEscapedError(std::current_exception());
    }
}

} // namespace app
