// The About page's links: the maker's web address and the order e-mail,
// styled as links that underline under the mouse.

#include "ContactLinks.h"
#include "UnitMain.h"
#include "UnitMainData.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "ui_UnitMain.h"

namespace app {

void TfrmMain::lbRefMouseEnter()
{
    ui->lbRef->setFont(withFontStyle(ui->lbRef->font(), ui->lbRef_Over->font()));
}

void TfrmMain::lbRefMouseLeave()
{
    ui->lbRef->setFont(withFontStyle(ui->lbRef->font(), ui->lbRef_Off->font()));
}

void TfrmMain::lbMailMouseEnter()
{
    ui->lbMail->setFont(withFontStyle(ui->lbMail->font(), ui->lbRef_Over->font()));
}

void TfrmMain::lbMailMouseLeave()
{
    ui->lbMail->setFont(withFontStyle(ui->lbMail->font(), ui->lbRef_Off->font()));
}

void TfrmMain::lbRefClick()
{
    if (!platform::openWithShell(ui->lbRef->text()))
        AppMessageBox(this, QStringLiteral("Error..."),
                      QStringLiteral("%1 could not be opened: no web browser is set up on this desktop.")
                          .arg(ui->lbRef->text()),
                      platform::kBoxIconError);
}

void TfrmMain::lbMailClick()
{
    if (!platform::openWithShell(orderMailLink(ui->lbMail->text(), AppProductName, environment_.today())))
        AppMessageBox(this, QStringLiteral("Error..."),
                      QStringLiteral("No e-mail program is set up on this desktop to write the order with.\n"
                                     "Write to %1 from the one you use.")
                          .arg(ui->lbMail->text()),
                      platform::kBoxIconError);
}

} // namespace app
