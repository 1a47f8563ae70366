// The About page's links: the maker's web address and the order e-mail,
// styled as links that underline under the mouse.

#include "ContactLinks.h"
#include "UnitMain.h"
#include "UnitMainData.h"
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
    platform::openWithShell(ui->lbRef->text());
}

void TfrmMain::lbMailClick()
{
    platform::openWithShell(orderMailLink(ui->lbMail->text(), AppProductName, environment_.today()));
}

} // namespace app
