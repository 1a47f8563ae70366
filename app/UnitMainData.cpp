#include "UnitMainData.h"

#include "platform/MessageBox.h"

namespace app {

namespace {

constexpr char kFirstPrefix[] = "!zatTPN_UD_";
constexpr char kSecondPrefixTail[] = "_JwtljzqZuiwdab_";
constexpr char kInitialTitle[] = "Configurator";
constexpr char kMakerDomain[] = "korvane.example";

QString& title()
{
    static QString text = QString::fromLatin1(kInitialTitle);
    return text;
}

} // namespace

// 125000 is no typo: the adapter's fifth rate is neither 115200 again nor 128000.
const QByteArrayList BaudSettings{"115200,N,8", "38400,N,8", "19200,N,8", "9600,N,8", "125000,N,8"};
QByteArrayList CommandPrefixes{kFirstPrefix, kSecondPrefixTail};
QByteArray AppProductName;
QByteArray AppCompanyName;
QByteArray SettingsKeyPath;

QByteArray makerSettingsKeyPath()
{
    return QByteArray("SOFTWARE\\") + kMakerDomain + " Company ::.";
}

QString applicationTitle()
{
    return title();
}

void setApplicationTitle(const QString& text)
{
    title() = text;
}

void initialiseUnitData()
{
    CommandPrefixes = {kFirstPrefix, kSecondPrefixTail};
    AppProductName.clear();
    AppCompanyName.clear();
    SettingsKeyPath.clear();
    title() = QString::fromLatin1(kInitialTitle);
}

int AppMessageBox(QWidget* owner, const QString& caption, const QString& text, unsigned flags)
{
    return platform::showMessageBox(owner, applicationTitle() + QStringLiteral(" - ") + caption, text, flags);
}

} // namespace app
