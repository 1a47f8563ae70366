#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

class QWidget;

namespace app {

// The port settings texts a search tries, in order.
extern const QByteArrayList BaudSettings;
// The texts put before every command letter; the second is completed at start-up.
extern QByteArrayList CommandPrefixes;
// From the version block, read at start-up; empty until then.
extern QByteArray AppProductName;
extern QByteArray AppCompanyName;
// The settings key, set at start-up.
extern QByteArray SettingsKeyPath;

// The settings key that start-up sets: named after the maker's domain.
QByteArray makerSettingsKeyPath();

// The application title, which heads every box of the program.
QString applicationTitle();
void setApplicationTitle(const QString& title);

// Puts the unit's data and the application title back to how the program
// entry finds them, before the main window exists.
void initialiseUnitData();

// The window's message box: titled with the application title, " - " and the
// caption. Returns the button pressed.
int AppMessageBox(QWidget* owner, const QString& caption, const QString& text, unsigned flags);

} // namespace app
