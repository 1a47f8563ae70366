#include "UnitMain.h"

#include "DesignedLook.h"
#include "HandlerGuard.h"
#include "SettingsStore.h"
#include "UnitMainData.h"
#include "adapter/Windows1251.h"
#include "platform/MessageBox.h"
#include "platform/SettingsKey.h"
#include "platform/TimerResolution.h"
#include "ui_UnitMain.h"

#include <QCloseEvent>
#include <QScreen>

namespace app {

namespace {

constexpr char kVersionInfoPrefix[] = "StringFileInfo\\040904E4\\";
// The product whose variant logo the About page shows instead of the usual one.
constexpr char kVariantProductName[] = "CANdunVEL";

QString text(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

} // namespace

TfrmMain::TfrmMain()
    : TfrmMain(Environment{})
{
}

TfrmMain::TfrmMain(Environment environment)
    : ui(std::make_unique<Ui::TfrmMain>())
    , environment_(std::move(environment))
{
    const DesignedFace face = chooseDesignedFace(environment_.fontFamilies());
    installDesignedFonts(face.family);
    ui->setupUi(this);
    applyDesignedLook(*this, face);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    centreOnScreen();

    FWUpdate = std::make_unique<fwupdate::TFWUpdate>();
    ilIcons = {QIcon(QStringLiteral(":/images/marker.png"))};
    ReplyLog = std::make_unique<adapter::ReplyLog>(*ui->memLog);
    TestLog = std::make_unique<adapter::TestLog>(*ui->memLogTest);
    Modes = std::make_unique<adapter::ModeList>(*ui->lvModes, ilIcons);
    Modes->setComparison([this](const QTreeWidgetItem& first, const QTreeWidgetItem& second) {
        return lvModesCompare(first, second);
    });
    ReplyParser = std::make_unique<adapter::TReplyParser>(*ui, *Modes, CopyRightWidth,
                                                          [this](const QByteArray& text) { storeActiveMode(text); });
    Exchange = std::make_unique<adapter::TExchange>(*ui, static_cast<adapter::ExchangeWindow&>(*this), *ReplyLog,
                                                    *TestLog, *Modes, *ReplyParser, CopyRightWidth);
    Selection = std::make_unique<adapter::ModeSelection>(*ui, *Modes, *Exchange);
    tmrRefresh = std::make_unique<platform::Timer>(guarded([this] { tmrRefreshTimer(); }));
    tmrRefresh->setInterval(kRefreshPeriodMs);
    connectHandlers();

    runHandler([this] { FormCreate(); });
}

TfrmMain::~TfrmMain()
{
    // The program closes the window before it ends; this covers a window
    // destroyed without closing, so the request never outlives its owner.
    if (PreciseTimers)
        platform::endPreciseTimers();
}

void TfrmMain::centreOnScreen()
{
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmMain::FormCreate()
{
    Device = std::make_unique<serdev::TSerDev>(this, environment_.comPorts);
    if (const std::optional<QByteArray> block = environment_.versionBlock(); block && !block->isEmpty())
        readIdentity(*block);
    CommandPrefixes[1] = "!" + text(AppCompanyName).toUpper().toUtf8() + CommandPrefixes[1];
    SettingsKeyPath = makerSettingsKeyPath();
    MoveLegacySettings();
    PortNames.clear();
    PortDescriptions.clear();
    PortDeviceIds.clear();
    Device->RescanUsb();
    RefreshPortList(true);
    ui->pcOptions->setTabVisible(ui->pcOptions->indexOf(ui->tsTest), false);

    CopyRightWidth.narrow = ui->edCopyRight->width();
    CopyRightWidth.wide = ui->edVersion->x() + ui->edVersion->width() - ui->edCopyRight->x();
    ui->edCopyRight->resize(CopyRightWidth.wide, ui->edCopyRight->height());

    SortColumn = ReadIntSetting(QStringLiteral("SortCol"), 0);
    // A negative index, possible only in an edited file, is no column either.
    if (SortColumn < 0 || SortColumn >= kModeColumns) {
        SortColumn = 0;
        WriteIntSetting(QStringLiteral("SortCol"), 0);
    }
    SortDescending = ReadIntSetting(QStringLiteral("SortDir"), 0);
    if (SettingExists(QStringLiteral("WinTop")) && SettingExists(QStringLiteral("WinLeft")))
        placement_ = Placement::SystemDefault;

    platform::beginPreciseTimers();
    PreciseTimers = true;
}

void TfrmMain::readIdentity(const QByteArray& block)
{
    const VersionInfo info(block);
    auto value = [&info](const char* key) { return info.QueryVersionString(QByteArray(kVersionInfoPrefix) + key); };

    AppProductName = value("ProductName");
    ui->lbName->setText(text(AppProductName) + QLatin1Char(' ') + text(value("InternalName")));
    ui->lbVersion->setText(QStringLiteral("Version ") + text(value("FileVersion")));
    setApplicationTitle(ui->lbName->text() + QLatin1Char(' ') + ui->lbVersion->text());
    setWindowTitle(applicationTitle());
    ui->lbCopy->setText(text(value("LegalCopyright")));
    AppCompanyName = value("CompanyName");
    const bool variant = AppProductName == kVariantProductName;
    ui->imgLogo_CDV->setVisible(variant);
    ui->imgLogo->setVisible(!variant);
    ui->lbRef->setText(text(value("Comments")));
    ui->lbMail->setText(text(value("Support")));
    ui->rbAddMode->setText(ui->rbAddMode->text() + QLatin1Char(' ') + text(AppProductName));
    // Labels grow to the right to fit their captions.
    for (QLabel* label : {ui->lbName, ui->lbVersion, ui->lbCopy, ui->lbRef, ui->lbMail})
        label->adjustSize();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        runHandler([this] { FormShow(); });
    }
}

void TfrmMain::FormShow()
{
    if (placement_ != Placement::SystemDefault)
        return;
    // The stored position is taken as it stands, also off every screen.
    move(x(), ReadIntSetting(QStringLiteral("WinTop"), y()));
    move(ReadIntSetting(QStringLiteral("WinLeft"), x()), y());
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    runHandler([this] { FormClose(); });
    event->accept(); // closing is never refused
}

void TfrmMain::FormClose()
{
    try {
        WriteIntSetting(QStringLiteral("SortCol"), SortColumn);
        WriteIntSetting(QStringLiteral("SortDir"), SortDescending);
        WriteIntSetting(QStringLiteral("WinTop"), y());
        WriteIntSetting(QStringLiteral("WinLeft"), x());
    } catch (const platform::SettingsError& error) {
        // Report it, but let the window close: a program must never be unable to.
        AppMessageBox(this, QStringLiteral("Error..."),
                      QStringLiteral("%1\nThe sort order and the window position could not be saved to %2.")
                          .arg(QString::fromUtf8(error.what()), settingsFile()),
                      platform::kBoxIconError);
    }
    if (PreciseTimers) {
        platform::endPreciseTimers();
        PreciseTimers = false;
    }
}

void TfrmMain::showError(const QString& message)
{
    AppMessageBox(this, QStringLiteral("Error..."), message, platform::kBoxIconError);
}

void TfrmMain::showEscapedError(std::exception_ptr error)
{
    app::showEscapedError(error);
}

void TfrmMain::storeActiveMode(const QByteArray& text)
{
    try {
        WriteStringSetting(QStringLiteral("Mode"), adapter::fromWindows1251(text).toUtf8());
    } catch (const platform::SettingsError& error) {
        // Only stored, never read back: the marking goes on regardless.
        AppMessageBox(this, QStringLiteral("Error..."),
                      QStringLiteral("%1\nThe active mode could not be saved to %2.")
                          .arg(QString::fromUtf8(error.what()), settingsFile()),
                      platform::kBoxIconError);
    }
}

QByteArray TfrmMain::productName() const
{
    return AppProductName;
}

QByteArray TfrmMain::baudSetting(int index) const
{
    return BaudSettings.value(index);
}

QByteArray TfrmMain::commandPrefix(int index) const
{
    return CommandPrefixes.value(index);
}

} // namespace app
