#pragma once

#include "VersionInfo.h"
#include "adapter/Exchange.h"
#include "adapter/ExchangeWindow.h"
#include "adapter/ModeList.h"
#include "adapter/ModeSelection.h"
#include "adapter/ReplyLog.h"
#include "adapter/ReplyParser.h"
#include "adapter/TestLog.h"
#include "fwupdate/Unitfwupdate.h"
#include "platform/Timer.h"
#include "platform/WholeFile.h"
#include "serdev/SerDev.h"

#include <QByteArrayList>
#include <QDate>
#include <QFontDatabase>
#include <QIcon>
#include <QItemSelection>
#include <QList>
#include <QSet>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace Ui {
class TfrmMain;
}

namespace app {

// The main window: its lifecycle, its long-lived objects and the handlers of
// its port list, mode-list sorting, Update tab, About page and log copying. The exchange
// with the adapter, the reply parsing and the mode list's selection are
// classes of their own that it owns and that reach its widgets through it.
class TfrmMain final : public QWidget, private adapter::ExchangeWindow {
public:
    // Where the window takes what lies outside it from; tests hand in their own.
    struct Environment {
        VersionBlockSource versionBlock = programVersionBlock;
        serdev::SerialPortSource comPorts = serdev::watchedSystemSerialPorts();
        std::function<QDate()> today = [] { return QDate::currentDate(); }; // the local date
        std::function<QStringList()> fontFamilies = [] { return QFontDatabase::families(); }; // those installed
    };

    static constexpr int kModeColumns = 3;
    static constexpr int kRefreshPeriodMs = 500;
    // The length of every mode file.
    static constexpr qsizetype kModeFileSize = 80;

    TfrmMain();
    explicit TfrmMain(Environment environment);
    ~TfrmMain() override;

    Ui::TfrmMain& form() { return *ui; }
    adapter::TExchange& exchange() { return *Exchange; }

    // Port list: merges the enumeration threads' lists into the window.
    void RefreshPortList(bool force);
    void tmrRefreshTimer();
    void btRefreshClick();
    void cbCOMClick();
    void btPortPropClick();

    // Mode list sorting.
    int lvModesCompare(const QTreeWidgetItem& first, const QTreeWidgetItem& second) const;
    void lvModesColumnClick(int column);

    // Update tab: choosing a file, and running or stopping an upload or a repair.
    void EnableUpdateRun() override;
    bool ChooseFile(const QString& extension, QString& path);
    // `data` holds a path on entry and the file's contents once it is read.
    platform::FileRead ReadWholeFile(QByteArray& data, QString* systemText = nullptr);
    void btUpdateRunClick();
    void btFW_FileClick();
    void rbUploadFWClick();
    void rbAddModeClick();
    void ckbNotSearchClick();
    void edFW_FileChange();

    // About page links and log copying.
    void lbRefMouseEnter();
    void lbRefMouseLeave();
    void lbMailMouseEnter();
    void lbMailMouseLeave();
    void lbRefClick();
    void lbMailClick();
    void btCopyClick();
    void btCopyTestClick();
    void memLogTestChange();

    std::unique_ptr<Ui::TfrmMain> ui;
    std::unique_ptr<serdev::TSerDev> Device;
    std::unique_ptr<fwupdate::TFWUpdate> FWUpdate;
    QByteArray ModeFileData;
    QByteArrayList PortNames;
    QByteArrayList PortDescriptions;
    QByteArrayList PortDeviceIds;
    std::int32_t SortColumn = 0;
    std::int32_t SortDescending = 0;
    adapter::CopyRightWidths CopyRightWidth;
    bool PreciseTimers = false;
    std::unique_ptr<platform::Timer> tmrRefresh;
    QList<QIcon> ilIcons; // the mode list's state images: the active mode's marker
    std::unique_ptr<adapter::ReplyLog> ReplyLog;
    std::unique_ptr<adapter::TestLog> TestLog;
    std::unique_ptr<adapter::ModeList> Modes;
    std::unique_ptr<adapter::TReplyParser> ReplyParser;
    std::unique_ptr<adapter::TExchange> Exchange;
    std::unique_ptr<adapter::ModeSelection> Selection;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Placement { ScreenCentre, SystemDefault };

    void FormCreate();
    void FormShow();
    void FormClose();
    void readIdentity(const QByteArray& block);
    void connectHandlers();
    void connectModeListHandlers();
    void connectAboutPageHandlers();
    void connectUpdateTabHandlers();
    void runUpload();
    void runRepair();
    // While a job started on the Update tab runs, its choice, its check boxes
    // and its file stay as they were when Run was pressed.
    void lockUpdateChoices();
    void unlockUpdateChoices();
    // Tells the mode list's handler of each row the selection left, then of each it reached.
    void reportRowSelection(const QItemSelection& deselected, const QItemSelection& selected);
    void storeActiveMode(const QByteArray& text);
    void centreOnScreen();
    void enablePortProperties(int index);
    // Shows what went wrong with the settings file, once for each thing that did.
    void reportSettingsTrouble(const QString& trouble);

    // adapter::ExchangeWindow
    QWidget& widget() override { return *this; }
    serdev::TSerDev& device() override { return *Device; }
    fwupdate::TFWUpdate& firmwareUpdate() override { return *FWUpdate; }
    const QByteArray& modeFileData() const override { return ModeFileData; }
    void exchangeFinished() override { unlockUpdateChoices(); }
    QByteArray portName(int index) const override { return PortNames.value(index); }
    QByteArray portDeviceId(int index) const override { return PortDeviceIds.value(index); }
    void showError(const QString& text) override;
    void showEscapedError(std::exception_ptr error) override;
    QByteArray productName() const override;
    QByteArray baudSetting(int index) const override;
    QByteArray commandPrefix(int index) const override;

    Environment environment_;
    // The enabled state of the Update tab's check boxes while a job locks them.
    std::optional<std::pair<bool, bool>> lockedCheckBoxes_;
    Placement placement_ = Placement::ScreenCentre;
    bool shown_ = false;
    QSet<QString> reportedSettingsTroubles_;
};

} // namespace app
