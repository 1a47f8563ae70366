// The Update tab: the user picks a firmware image or a mode file, then Run
// starts the upload or the repair as an exchange with the adapter, and Stop
// cancels a running upload.

#include "UnitMain.h"

#include "UnitMainData.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "ui_UnitMain.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace app {

namespace {

const QString kRun = QStringLiteral("Run");
const QString kStop = QStringLiteral("Stop");
// Anything longer is no mode file, and is not read into memory to learn so.
constexpr qsizetype kModeFileReadLimit = qsizetype{1} << 20;

} // namespace

void TfrmMain::EnableUpdateRun()
{
    if (FWUpdate->IsBusy()) {
        ui->btUpdateRun->setEnabled(true); // Stop stays usable while an upload runs
        return;
    }
    const bool fileChosen = !ui->edFW_File->text().isEmpty();
    // Only an upload without the update command can do without a found adapter.
    if (ui->rbUploadFW->isChecked() && ui->ckbNotSearch->isChecked())
        ui->btUpdateRun->setEnabled(fileChosen);
    else
        ui->btUpdateRun->setEnabled(!ui->edSerial->text().isEmpty() && fileChosen);
}

bool TfrmMain::ChooseFile(const QString& extension, QString& path)
{
    platform::OpenFileRequest request;
    request.parent = this;
    request.title = QStringLiteral("Open");
    request.fileName = path;
    request.defaultExtension = extension;
    request.filter = extension.toUpper() + QStringLiteral("-files|*.") + extension.toLower()
        + QStringLiteral("|All files|*.*");
    const std::optional<QString> chosen = platform::chooseFileToOpen(request);
    if (!chosen)
        return false;
    path = *chosen;
    return true;
}

platform::FileRead TfrmMain::ReadWholeFile(QByteArray& data, QString* systemText)
{
    platform::WholeFile file = platform::readWholeFile(QFile::decodeName(data), kModeFileReadLimit);
    if (file.result == platform::FileRead::Read)
        data = std::move(file.data);
    if (systemText != nullptr)
        *systemText = file.systemText;
    return file.result;
}

void TfrmMain::btUpdateRunClick()
{
    if (ui->btUpdateRun->text() != kRun) {
        // Stop cancels a running upload, whatever was clicked since Run; a
        // repair runs to its end, and only the caption goes back.
        FWUpdate->Cancel();
        ui->btUpdateRun->setText(kRun);
    } else if (ui->rbUploadFW->isChecked()) {
        runUpload();
    } else {
        runRepair();
    }
}

void TfrmMain::runUpload()
{
    if (Exchange->isRunning())
        return; // one exchange at a time
    ui->pbUpdateProgress->setValue(0);
    // The image is read and checked before the update command puts the
    // adapter into its bootloader: a file that cannot be uploaded leaves the
    // adapter as it is.
    if (!FWUpdate->LoadImage(this, QFile::encodeName(ui->edFW_File->text())))
        return;
    Exchange->NextState = ui->ckbNotSearch->isChecked() ? adapter::state::HandOverAtOnce
                                                        : adapter::state::UpdateRequest;
    Exchange->FocusControl = ui->btUpdateRun;
    Exchange->StartExchange();
    if (Exchange->isRunning()) {
        ui->btUpdateRun->setText(kStop);
        lockUpdateChoices();
    }
}

void TfrmMain::lockUpdateChoices()
{
    lockedCheckBoxes_ = std::pair{ui->ckbNotSearch->isEnabled(), ui->ckbWait->isEnabled()};
    const std::array<QWidget*, 5> choices{ui->rbUploadFW, ui->rbAddMode, ui->ckbNotSearch, ui->ckbWait,
                                          ui->btFW_File};
    for (QWidget* control : choices)
        control->setEnabled(false);
}

void TfrmMain::unlockUpdateChoices()
{
    if (!lockedCheckBoxes_)
        return;
    ui->rbUploadFW->setEnabled(true);
    ui->rbAddMode->setEnabled(true);
    ui->btFW_File->setEnabled(true);
    ui->ckbNotSearch->setEnabled(lockedCheckBoxes_->first);
    ui->ckbWait->setEnabled(lockedCheckBoxes_->second);
    lockedCheckBoxes_.reset();
}

void TfrmMain::runRepair()
{
    if (Exchange->isRunning())
        return;
    ui->pbUpdateProgress->setValue(0);
    const QString path = ui->edFW_File->text();
    ModeFileData = QFile::encodeName(path);
    QString systemText;
    switch (ReadWholeFile(ModeFileData, &systemText)) {
    case platform::FileRead::Unreadable:
        ModeFileData.clear();
        AppMessageBox(this, QStringLiteral("Error..."),
                      platform::withSystemText(
                          QStringLiteral("Change Mode file \"") + path + QStringLiteral("\" is not found."),
                          systemText),
                      platform::kBoxIconError);
        return;
    case platform::FileRead::Read:
        if (ModeFileData.size() == kModeFileSize) {
            Exchange->NextState = adapter::state::RepairRequest;
            Exchange->StartExchange();
            if (Exchange->isRunning()) {
                ui->btUpdateRun->setText(kStop);
                lockUpdateChoices();
            }
            return;
        }
        break;
    case platform::FileRead::TooLarge:
        break;
    }
    ModeFileData.clear();
    AppMessageBox(this, QStringLiteral("Error..."),
                  QStringLiteral("Change Mode file \"") + path + QStringLiteral("\"corrupted."),
                  platform::kBoxIconError);
}

void TfrmMain::btFW_FileClick()
{
    QString path = ui->edFW_File->text();
    const QString extension = ui->rbUploadFW->isChecked() ? QStringLiteral("RFW") : QStringLiteral("RCM");
    if (!ChooseFile(extension, path))
        return;
    if (QFileInfo(path).isFile()) {
        ui->edFW_File->setText(path); // its change applies the enable rule
        return;
    }
    AppMessageBox(this, QStringLiteral("Error..."), QStringLiteral("Firware file \"") + path
                      + QStringLiteral("\" is not found."), platform::kBoxIconError);
}

void TfrmMain::rbUploadFWClick()
{
    const bool upload = ui->rbUploadFW->isChecked();
    ui->ckbNotSearch->setEnabled(upload);
    ui->ckbWait->setEnabled(upload);
    EnableUpdateRun();
}

void TfrmMain::rbAddModeClick()
{
    // Repair stays selected, so that the mode-file branches can be reached.
    ui->ckbNotSearch->setEnabled(ui->rbUploadFW->isChecked());
    EnableUpdateRun();
}

void TfrmMain::ckbNotSearchClick()
{
    EnableUpdateRun();
}

void TfrmMain::edFW_FileChange()
{
    EnableUpdateRun();
}

} // namespace app
