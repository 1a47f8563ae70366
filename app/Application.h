#pragma once

#include <QApplication>

namespace app {

// The application object. Its event dispatch is the last line of defence:
// an error that escapes any event handler is shown, and the loop goes on.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    // The icon the desktop entry names, from the icon theme, for every window.
    void useInstalledIcon();
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
