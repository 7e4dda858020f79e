#include "output/internal/sel_dev_form.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "controls/dialog_edit.h"
#include "lookup/vorn_finder.h"
#include "output/internal/line_printing.h"
#include "output/internal/output_texts.h"
#include "source/message_text.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

// Messages of the server's message file (1127 and on) and of the toolset (1008, 1017).
constexpr int kMsgTitle = 127;
constexpr int kMsgScreen = 128;
constexpr int kMsgPrinter = 129;
constexpr int kMsgFile = 130;
constexpr int kMsgExcel = 131;
constexpr int kMsgServer = 132;
constexpr int kMsgHelpIntro = 133;
constexpr int kMsgWord = 141;
constexpr int kMsgOk = 8;
constexpr int kMsgCancel = 17;

// The layout: radio buttons 18 pixels apart from 16 down the group box.
constexpr int kFormWidth = 250;
constexpr int kGroupLeft = 8;
constexpr int kGroupTop = 4;
constexpr int kGroupWidth = 234;
constexpr int kRadioLeft = 10;
constexpr int kRadioTop = 16;
constexpr int kRadioPitch = 18;
constexpr int kRadioHeight = 17;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// The printers of the server that are in service: of the host file system or terminal type,
// of a subtype beginning "P-", and not the workstation itself.
const QString kDeviceScreen = QStringLiteral(
    "N STYPE,TYPE,TI S STYPE=$G(^%ZIS(2,$G(^%ZIS(1,Y,\"SUBTYPE\"),\"NOSUBTYPE\"),0)),"
    "TYPE=$G(^%ZIS(1,Y,\"TYPE\")),TI=$P($G(^(0)),U,2) I TYPE=\"HFS\"!(TYPE=\"TRM\")&(TI>0!"
    "(TI?1AP.ANP))&($P($G(^(1)),U,5)'=1)&($P(STYPE,U)?1\"P-\".E)&($P(^(0),U)'=\"CLIENT "
    "WORKSTATION\")");

QRadioButton* MakeRadio(QGroupBox* box, const char* name, const QString& caption) {
    auto* radio = new QRadioButton(caption, box);
    radio->setObjectName(QString::fromLatin1(name));
    return radio;
}

void SetCaption(QWidget* widget, const QString& text) {
    if (text.isEmpty()) return;  // a text the server lacks keeps the form's own caption
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else
        widget->setWindowTitle(text);
}

}  // namespace

TfrmSelDev::TfrmSelDev(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelDev"));
    setWindowTitle(QStringLiteral("Tulostuslaitteen valinta"));
    Grb1 = new QGroupBox(this);
    Grb1->setObjectName(QStringLiteral("Grb1"));
    Grb1->setGeometry(kGroupLeft, kGroupTop, kGroupWidth, 6 * kRadioPitch + 21);
    rbScreen = MakeRadio(Grb1, "rbScreen", QStringLiteral("Näytölle"));
    rbPrinter = MakeRadio(Grb1, "rbPrinter", QStringLiteral("Työaseman kirjoittimelle"));
    rbFile = MakeRadio(Grb1, "rbFile", QStringLiteral("Työaseman tiedostoon"));
    rbExcel = MakeRadio(Grb1, "rbExcel", QStringLiteral("Exceliin"));
    rbServer = MakeRadio(Grb1, "rbServer", QStringLiteral("Palvelimen kirjoittimelle"));
    rbWord = MakeRadio(Grb1, "rbWord", QStringLiteral("Tekstinkäsittelyohjelma"));
    rbScreen->setChecked(true);
    btnSulje = new QPushButton(QStringLiteral("&OK"), this);
    btnSulje->setObjectName(QStringLiteral("btnSulje"));
    btnSulje->setDefault(true);
    btnPeruuta = new QPushButton(QStringLiteral("&Peruuta"), this);
    btnPeruuta->setObjectName(QStringLiteral("btnPeruuta"));

    vornSource1 = new TvornSource(this);
    vornSource1->setObjectName(QStringLiteral("vornSource1"));
    vornSource1->FileNumber = QStringLiteral("3.5");
    vornSource1->FMIndex = QStringLiteral("B");
    vornSource1->FMIndexField = QStringLiteral(".01");
    vornSource1->SetUserAccess(TvornUserAccess(uaRead | uaBrowse));
    vornSource1->FMAccessUsed = true;
    vornSource1->ConfirmMessages = {};
    vornFinder1 = new TvornFinder(this);
    vornFinder1->setObjectName(QStringLiteral("vornFinder1"));
    vornFinder1->FileNumber = QStringLiteral("3.5");
    vornFinder1->FMIndex = QStringLiteral("B");
    vornFinder1->Number = QStringLiteral("200");
    vornFinder1->Screen = kDeviceScreen;
    xDlgEditKernelDevice = new TvornDialogEdit(this);
    xDlgEditKernelDevice->setObjectName(QStringLiteral("xDlgEditKernelDevice"));
    xDlgEditKernelDevice->SetFMField(QStringLiteral(".01"));
    xDlgEditKernelDevice->SetvornSource(vornSource1);
    xDlgEditKernelDevice->FMIsPointerField = false;
    xDlgEditKernelDevice->FMIsFindField = true;
    xDlgEditKernelDevice->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    xDlgEditKernelDevice->FieldsForFind = {QStringLiteral(".01,Nimi,100"),
                                           QStringLiteral(".02,Sijainti,300")};
    xDlgEditKernelDevice->FieldsForPointer = {QStringLiteral(".01,Nimi,100"),
                                              QStringLiteral(".02,Sijainti,250")};
    xDlgEditKernelDevice->FormCaption = QStringLiteral("Laitevalinta");
    xDlgEditKernelDevice->setToolTip(QStringLiteral("Palvelimen kirjoitin"));
    xDlgEditKernelDevice->SetFMHelpUsed(false);
    xDlgEditKernelDevice->SetvornFinderForFind(vornFinder1);
    xDlgEditKernelDevice->setGeometry(kGroupLeft, 0, 100, 21);
    xDlgEditKernelDevice->hide();
    ui::LoadComponents(*this);

    xDlgEditKernelDevice->AfterExecute = [this](QObject*) { PickListDone(true); };
    xDlgEditKernelDevice->AfterCancel = [this](QObject*) { PickListDone(false); };
    connect(btnSulje, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { OkClicked(); }));
    connect(btnPeruuta, &QPushButton::clicked, this, &TfrmSelDev::reject);
    // Another destination forgets a server printer picked before.
    for (QRadioButton* radio : {rbScreen, rbPrinter, rbFile, rbExcel, rbWord})
        connect(radio, &QRadioButton::clicked, this,
                ui::GuardedSlot(this, [this] { vornSource1->Clear(); }));
    Arrange(offered_);
}

TfrmSelDev::~TfrmSelDev() = default;

void TfrmSelDev::SetBroker(TRPCBroker* broker) {
    broker_ = broker;
    vornFinder1->SetRPCBroker(broker);
    vornSource1->SetRPCBroker(broker);
}

void TfrmSelDev::Setup(TvornPrintDevices devices) {
    Arrange(devices);
    SetCaptions();
}

void TfrmSelDev::Arrange(TvornPrintDevices devices) {
    offered_ = devices;
    const std::pair<TvornPrintDevice, QRadioButton*> order[] = {
        {pdScreen, rbScreen},      {pdPrinter, rbPrinter}, {pdFile, rbFile},
        {pdWordProcessor, rbWord}, {pdExcel, rbExcel},     {pdServerPrinter, rbServer}};
    int count = 0;
    for (const auto& [device, radio] : order) {
        radio->setVisible(devices.testFlag(device));
        if (!devices.testFlag(device)) continue;
        radio->setGeometry(kRadioLeft, kRadioTop + kRadioPitch * count,
                           kGroupWidth - 2 * kRadioLeft, kRadioHeight);
        if (count == 0) radio->setChecked(true);
        ++count;
    }
    Grb1->setGeometry(kGroupLeft, kGroupTop, kGroupWidth, count * kRadioPitch + 21);
    const int buttonTop = Grb1->geometry().bottom() + 1 + 6;
    btnSulje->setGeometry(kFormWidth / 2 - kButtonWidth - 6, buttonTop, kButtonWidth,
                          kButtonHeight);
    btnPeruuta->setGeometry(kFormWidth / 2 + 6, buttonTop, kButtonWidth, kButtonHeight);
    setFixedSize(kFormWidth, btnSulje->geometry().bottom() + 1 + 8);
}

void TfrmSelDev::SetCaptions() {
    TRPCBroker* broker = broker_.data();
    SetCaption(this, GetDialogText(kMsgTitle, {}, broker));
    SetCaption(rbScreen, GetDialogText(kMsgScreen, {}, broker));
    SetCaption(rbPrinter, GetDialogText(kMsgPrinter, {}, broker));
    SetCaption(rbFile, GetDialogText(kMsgFile, {}, broker));
    SetCaption(rbExcel, GetDialogText(kMsgExcel, {}, broker));
    SetCaption(rbServer, GetDialogText(kMsgServer, {}, broker));
    SetCaption(rbWord, GetDialogText(kMsgWord, {}, broker));
    SetCaption(btnSulje, GetMessageText(kMsgOk, broker));
    SetCaption(btnPeruuta, GetMessageText(kMsgCancel, broker));
}

void TfrmSelDev::SetDefaultDevice(TvornPrintDevice device) {
    const std::pair<TvornPrintDevice, QRadioButton*> buttons[] = {
        {pdScreen, rbScreen}, {pdPrinter, rbPrinter},      {pdFile, rbFile},
        {pdExcel, rbExcel},   {pdServerPrinter, rbServer}, {pdWordProcessor, rbWord}};
    for (const auto& [d, radio] : buttons)
        if (d == device && offered_.testFlag(d)) radio->setChecked(true);
}

void TfrmSelDev::SetFileExtension(const QString& extension) {
    extension_ = extension;
}

QString TfrmSelDev::KernelDev(const QString& device) const {
    return IopOfDevice(device, xDlgEditKernelDevice->text());
}

void TfrmSelDev::CloseForm() {
    IOP = KernelDev(Device);
    done(ui::mrOk);
}

void TfrmSelDev::reject() {
    Device.clear();
    IOP.clear();
    done(ui::mrCancel);
}

bool TfrmSelDev::RunSaveDialog() {
    const QString filter =
        extension_.isEmpty() ? QString() : QStringLiteral("*.%1 (*.%1);;* (*)").arg(extension_);
    QString chosen = ui::Modal().SaveFileName(this, QString(), SaveFile, filter);
    if (chosen.isEmpty()) return false;
    if (!extension_.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += u'.' + extension_;
    SaveFile = chosen;
    return true;
}

bool TfrmSelDev::RunPrintDialog() {
    ui::PrinterChoices choices;
    choices.pageNumbers = true;
    return ui::Modal().ChoosePrinter(this, WorkstationPrinter(), choices);
}

void TfrmSelDev::OkClicked() {
    SaveDial = false;
    PrintDial = false;
    // The pick of a server printer is forgotten without its change being taken for an edit.
    auto forgetPick = [this] {
        const QSignalBlocker quiet(xDlgEditKernelDevice);
        xDlgEditKernelDevice->clear();
    };
    if (rbScreen->isChecked()) {
        Device = words::kScreen;
        forgetPick();
        CloseForm();
    } else if (rbPrinter->isChecked()) {
        forgetPick();
        if (!RunPrintDialog()) return;
        PrintDial = true;
        Device = words::kPrinter;
        CloseForm();
    } else if (rbFile->isChecked()) {
        forgetPick();
        if (!RunSaveDialog()) return;
        SaveDial = true;
        Device = words::kFile;
        CloseForm();
    } else if (rbExcel->isChecked()) {
        forgetPick();
        Device = words::kExcel;
        CloseForm();
    } else if (rbWord->isChecked()) {
        forgetPick();
        Device = words::kWord;
        CloseForm();
    } else if (rbServer->isChecked()) {
        if (Device == words::kServer)
            CloseForm();
        else if (vornSource1->RPCBroker())
            OpenPickList();
    }
}

void TfrmSelDev::OpenPickList() {
    if (!vornSource1->RPCBroker()) return;
    if (!vornSource1->Active()) vornSource1->Open();
    xDlgEditKernelDevice->SetPointerMode(false);
    xDlgEditKernelDevice->Execute();
}

void TfrmSelDev::PickListDone(bool picked) {
    picked = picked && !xDlgEditKernelDevice->text().isEmpty();
    if (ServerPrinterOnly) {
        done(picked ? ui::mrOk : ui::mrCancel);
        return;
    }
    if (picked && rbServer->isChecked()) {
        Device = words::kServer;
        OkClicked();
    }
}

QString TfrmSelDev::GetSPr() {
    // Without a broker no list could open, and the form would wait unseen for ever.
    if (!vornSource1->RPCBroker()) return QString();
    setFixedHeight(1);
    ServerPrinterOnly = true;
    const int result = ui::Modal().ExecModal(*this);
    ServerPrinterOnly = false;
    return result == ui::mrOk ? xDlgEditKernelDevice->text() : QString();
}

void TfrmSelDev::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!ServerPrinterOnly) {
        Device = words::kScreen;
        const QSignalBlocker quiet(xDlgEditKernelDevice);
        xDlgEditKernelDevice->clear();
        btnSulje->setFocus();
        return;
    }
    // The list opens once the form waits for the user: a form ended while it is still being
    // shown would never stop waiting.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const bool opened = ui::Guarded([this] { OpenPickList(); }, this);
            if (isVisible() && (!opened || !xDlgEditKernelDevice->Dialog())) done(ui::mrCancel);
        },
        Qt::QueuedConnection);
}

QString TfrmSelDev::HelpText() const {
    constexpr int kFirstDeviceText = 134;
    const std::pair<TvornPrintDevice, int> order[] = {{pdScreen, 0}, {pdPrinter, 1},
                                                      {pdFile, 2},   {pdWordProcessor, 5},
                                                      {pdExcel, 3},  {pdServerPrinter, 4}};
    TRPCBroker* broker = broker_.data();
    QString text = GetDialogText(kMsgHelpIntro, {}, broker) + QStringLiteral("\r\r");
    for (const auto& [device, offset] : order)
        if (offered_.testFlag(device))
            text += GetDialogText(kFirstDeviceText + offset, {}, broker) + QStringLiteral("\r\r");
    return text;
}

void TfrmSelDev::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ui::Guarded(
            [this] { ShowOutputHelp(GetDialogText(kMsgTitle, {}, broker_.data()), HelpText()); },
            this);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vorn
