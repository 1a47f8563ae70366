// Binds each control's events to the handler the layout names. Every handler
// runs guarded: an error escaping it is shown, and the program goes on.

#include "HandlerGuard.h"
#include "UnitMain.h"
#include "WidgetEvents.h"
#include "ui_UnitMain.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace app {

void TfrmMain::connectHandlers()
{
    connect(ui->btSearch, &QPushButton::clicked, this, guarded([this] { Exchange->btSearchClick(); }));
    connect(ui->btRefresh, &QPushButton::clicked, this, guarded([this] { btRefreshClick(); }));
    connect(ui->btPortProp, &QPushButton::clicked, this, guarded([this] { btPortPropClick(); }));
    // Only the user's pick, never a change the program makes.
    connect(ui->cbCOM, &QComboBox::activated, this, guarded([this] { cbCOMClick(); }));
    connect(ui->btCopy, &QPushButton::clicked, this, guarded([this] { btCopyClick(); }));
    connect(ui->btRunTest, &QPushButton::clicked, this, guarded([this] { Exchange->btRunTestClick(); }));
    connect(ui->btCopyTest, &QPushButton::clicked, this, guarded([this] { btCopyTestClick(); }));
    connect(ui->memLogTest, &QPlainTextEdit::textChanged, this, guarded([this] { memLogTestChange(); }));
    // A click, never a tick the program sets.
    connect(ui->cbPower, &QCheckBox::clicked, this, guarded([this] { Exchange->cbPowerClick(); }));
    connectModeListHandlers();
    connectUpdateTabHandlers();
    connectAboutPageHandlers();
}

void TfrmMain::connectModeListHandlers()
{
    QTreeWidget& list = *ui->lvModes;
    connect(ui->btModeSelect, &QPushButton::clicked, this, guarded([this] { Exchange->btModeSelectClick(); }));
    list.header()->setSectionsClickable(true);
    connect(list.header(), &QHeaderView::sectionClicked, this,
            [this](int column) { runHandler([&] { lvModesColumnClick(column); }); });
    connect(list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                runHandler([&] { reportRowSelection(deselected, selected); });
            });
    onEvent(*list.viewport(), QEvent::MouseButtonDblClick,
            [this](QEvent&) { runHandler([this] { Selection->lvModesDblClick(); }); });
    onEvent(*list.viewport(), QEvent::MouseButtonRelease,
            [this](QEvent&) { runHandler([this] { Selection->lvModesMouseUp(); }); });
    onEvent(list, QEvent::KeyPress, [this](QEvent& event) {
        const QString typed = static_cast<QKeyEvent&>(event).text();
        if (typed.size() == 1 && typed[0].unicode() < 0x80)
            runHandler([&] { Selection->lvModesKeyPress(typed[0].toLatin1()); });
    });
}

void TfrmMain::connectUpdateTabHandlers()
{
    connect(ui->btUpdateRun, &QPushButton::clicked, this, guarded([this] { btUpdateRunClick(); }));
    connect(ui->btFW_File, &QPushButton::clicked, this, guarded([this] { btFW_FileClick(); }));
    // A choice's handler runs when it becomes the selected one, not on a click that leaves it so.
    connect(ui->rbUploadFW, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            runHandler([this] { rbUploadFWClick(); });
    });
    connect(ui->rbAddMode, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected)
            runHandler([this] { rbAddModeClick(); });
    });
    for (QCheckBox* box : {ui->ckbNotSearch, ui->ckbWait})
        connect(box, &QCheckBox::clicked, this, guarded([this] { ckbNotSearchClick(); }));
    connect(ui->edFW_File, &QLineEdit::textChanged, this, guarded([this] { edFW_FileChange(); }));
}

void TfrmMain::connectAboutPageHandlers()
{
    const auto bind = [this](QWidget& link, void (TfrmMain::*enter)(), void (TfrmMain::*leave)(),
                             void (TfrmMain::*click)()) {
        onEvent(link, QEvent::Enter, [this, enter](QEvent&) { runHandler([&] { (this->*enter)(); }); });
        onEvent(link, QEvent::Leave, [this, leave](QEvent&) { runHandler([&] { (this->*leave)(); }); });
        // A click is a left-button release over the label.
        onEvent(link, QEvent::MouseButtonRelease, [this, &link, click](QEvent& event) {
            const auto& mouse = static_cast<QMouseEvent&>(event);
            if (mouse.button() == Qt::LeftButton && link.rect().contains(mouse.position().toPoint()))
                runHandler([&] { (this->*click)(); });
        });
    };
    bind(*ui->lbRef, &TfrmMain::lbRefMouseEnter, &TfrmMain::lbRefMouseLeave, &TfrmMain::lbRefClick);
    bind(*ui->lbMail, &TfrmMain::lbMailMouseEnter, &TfrmMain::lbMailMouseLeave, &TfrmMain::lbMailClick);
}

void TfrmMain::reportRowSelection(const QItemSelection& deselected, const QItemSelection& selected)
{
    // Deselections first, as when the selection moves from one row to the next.
    for (const QItemSelection* rows : {&deselected, &selected})
        for (const QModelIndex& index : rows->indexes())
            if (index.column() == adapter::ModeList::kNumberColumn)
                Selection->lvModesSelectItem(ui->lvModes->itemFromIndex(index));
}

} // namespace app
