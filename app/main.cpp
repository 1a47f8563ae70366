#include "Application.h"
#include "HandlerGuard.h"
#include "UnitMain.h"
#include "UnitMainData.h"

int main(int argc, char** argv)
{
    app::TApplication application(argc, argv);
    application.useInstalledIcon();
    app::initialiseUnitData();
    try {
        app::TfrmMain frmMain;
        frmMain.show();
        application.exec();
    } catch (...) {
        app::showEscapedError(std::current_exception());
    }
    return 0;
}
