#include "settings/setup.h"

#include "platform/dialogs.h"
#include "platform/file_text.h"
#include "platform/window_frame.h"
#include "settings/settings.h"
#include "widgets/address_knob.h"
#include "widgets/radio_group.h"
#include "widgets/segment_display.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

TfmSetup::TfmSetup(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Setup"), 586, 552);
    createTideSpanGroup();
    createHeatSpanGroup();
    rg_port =
        new RadioGroup(QStringLiteral("Daten Port"),
                       {QStringLiteral("USB"), QStringLiteral("COM 1"), QStringLiteral("COM 2"),
                        QStringLiteral("COM 3"), QStringLiteral("COM 4")},
                       5, this);
    rg_port->setGeometry(8, 495, 570, 49);
    // In the empty corner under "Kanalbezeichnung", right-aligned with it and level with
    // "Firmware V3"; a control of the window's own, not of the HeatSpan group.
    bt_network = new QPushButton(QStringLiteral("Netzwerk…"), this);
    bt_network->setGeometry(470, 454, 100, 25);
    connectHandlers();
}

TfmSetup::LoggerControls TfmSetup::makeLoggerGroup(QWidget* parent, int width) {
    LoggerControls c{};
    c.group = new QGroupBox(QStringLiteral("Datenlogger"), parent);
    c.group->setGeometry(8, 20, width, 100);
    c.active = new QCheckBox(QStringLiteral("Datenlogger aktiv"), c.group);
    c.active->setGeometry(10, 22, width - 20, 20);
    c.label = new QLabel(QStringLiteral("Datei:"), c.group);
    c.label->setGeometry(10, 48, 60, 16);
    c.path = new QLineEdit(c.group);
    c.path->setGeometry(10, 66, 121, 21);
    c.browse = new QToolButton(c.group);
    c.browse->setGeometry(135, 65, 23, 22);
    c.browse->setIcon(QIcon(QStringLiteral(":/icons/button_open.svg")));
    c.browse->setIconSize(QSize(16, 16));
    return c;
}

RadioGroup* TfmSetup::makeIntervalGroup(QWidget* parent, int width) {
    auto* group = new RadioGroup(
        QStringLiteral("AUFZEICHNUNG"),
        {QStringLiteral("1x STUNDE"), QStringLiteral("1x MINUTE"), QStringLiteral("1x SEKUNDE")}, 1,
        parent);
    group->setGeometry(8, 130, width, 100);
    return group;
}

QGroupBox* TfmSetup::makeAddressGroup(const QString& caption, QWidget* parent, int width,
                                      AddressKnob*& knob, SegmentDisplay*& display) {
    auto* group = new QGroupBox(caption, parent);
    group->setGeometry(8, 240, width, 170);
    knob = new AddressKnob(group);
    knob->setGeometry((width - 100) / 2, 18, 100, 100);
    display = new SegmentDisplay(group);
    display->setGeometry((width - 60) / 2, 122, 60, 38);
    return group;
}

void TfmSetup::createTideSpanGroup() {
    GroupBox4 = new QGroupBox(QStringLiteral("TideSpan SETUP"), this);
    GroupBox4->setGeometry(8, 8, 189, 481);
    const LoggerControls logger = makeLoggerGroup(GroupBox4, 173);
    GroupBox6 = logger.group;
    ck_Levellog = logger.active;
    Label18 = logger.label;
    ed_llog = logger.path;
    SpeedButton2 = logger.browse;
    lev_rg_frequ = makeIntervalGroup(GroupBox4, 173);
    GroupBox5 =
        makeAddressGroup(QStringLiteral("TideSpan-ADRESSE"), GroupBox4, 173, LevelKnob, seg_levadr);
    chk_v264 = new QCheckBox(QStringLiteral("Firmware < V2.64"), GroupBox4);
    chk_v264->setGeometry(12, 420, 165, 20);
    chk_v300 = new QCheckBox(QStringLiteral("Firmware V3"), GroupBox4);
    chk_v300->setGeometry(12, 448, 165, 20);
}

void TfmSetup::createHeatSpanGroup() {
    GroupBox1 = new QGroupBox(QStringLiteral("HeatSpan SETUP"), this);
    GroupBox1->setGeometry(209, 8, 369, 481);
    const LoggerControls logger = makeLoggerGroup(GroupBox1, 168);
    GroupBox3 = logger.group;
    ck_Termolog = logger.active;
    Label9 = logger.label;
    ed_tlog = logger.path;
    SpeedButton1 = logger.browse;
    rg_frequ = makeIntervalGroup(GroupBox1, 168);
    GroupBox7 = makeAddressGroup(QStringLiteral("HeatSpan-ADRESSE"), GroupBox1, 168, TermoKnob,
                                 seg_termadr);

    GroupBox2 = new QGroupBox(QStringLiteral("Kanalbezeichnung"), GroupBox1);
    GroupBox2->setGeometry(184, 20, 177, 236);
    for (int i = 0; i < 8; ++i) {
        const int y = 26 + 26 * i;
        Label[i] = new QLabel(QStringLiteral("Temperatur %1").arg(i + 1), GroupBox2);
        Label[i]->setGeometry(10, y, 80, 21);
        Edit[i] = new QLineEdit(GroupBox2);
        Edit[i]->setGeometry(92, y, 75, 21);
        Edit[i]->setMaxLength(kChannelNameLength);
    }
}

void TfmSetup::connectHandlers() {
    // Only what the user does writes a setting: a text edited (not set), a box or item
    // clicked, the knob turned. Filling the controls in FormShow writes nothing back.
    connect(ck_Levellog, &QCheckBox::clicked, this, &TfmSetup::ck_LevellogClick);
    connect(ck_Termolog, &QCheckBox::clicked, this, &TfmSetup::ck_TermologClick);
    connect(ed_llog, &QLineEdit::textEdited, this, &TfmSetup::ed_llogChange);
    connect(ed_tlog, &QLineEdit::textEdited, this, &TfmSetup::ed_tlogChange);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfmSetup::SpeedButton2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfmSetup::SpeedButton1Click);
    connect(lev_rg_frequ, &RadioGroup::clicked, this, &TfmSetup::lev_rg_frequClick);
    connect(rg_frequ, &RadioGroup::clicked, this, &TfmSetup::rg_frequClick);
    connect(rg_port, &RadioGroup::clicked, this, &TfmSetup::rg_portClick);
    connect(LevelKnob, &AddressKnob::valueChanged, this, &TfmSetup::LevelKnobPositionChange);
    connect(TermoKnob, &AddressKnob::valueChanged, this, &TfmSetup::TermoKnobPositionChange);
    connect(LevelKnob, &AddressKnob::sliderReleased, this, &TfmSetup::LevelKnobClick);
    connect(TermoKnob, &AddressKnob::sliderReleased, this, &TfmSetup::TermoKnobClick);
    connect(chk_v264, &QCheckBox::clicked, this, &TfmSetup::chk_v264Click);
    connect(chk_v300, &QCheckBox::clicked, this, &TfmSetup::chk_v300Click);
    connect(bt_network, &QPushButton::clicked, this, &TfmSetup::networkRequested);
}

void TfmSetup::FormShow() {
    ed_llog->setText(FromStoredText(settings.LLOG_PATH));
    ck_Levellog->setChecked(settings.CHK_LEVELLOG);
    for (int n = 1; n <= 8; ++n)
        Edit[n - 1]->setText(FromStoredText(settings.channelName(n)));
    ed_tlog->setText(FromStoredText(settings.TLOG_PATH));
    ck_Termolog->setChecked(settings.CHK_TERMLOG);
    rg_frequ->setItemIndex(settings.FRE_TERM);
    lev_rg_frequ->setItemIndex(settings.FRE_LEVEL);
    showAddress(LevelKnob, seg_levadr, settings.LEV_ADR);
    showAddress(TermoKnob, seg_termadr, settings.TERM_ADR);
    chk_v264->setChecked(settings.CHK_V264);
    chk_v300->setChecked(settings.CHK_V300);
    rg_port->setItemIndex(settings.GL_COM);
}

void TfmSetup::showAddress(AddressKnob* knob, SegmentDisplay* display, std::int32_t address) {
    // The display first, then the knob. An address the knob cannot show stays stored and on
    // the display until the knob is turned; the knob rests at its nearer end meanwhile.
    display->showNumber(address);
    knob->restOn(address);
}

void TfmSetup::ShowLoggerSwitches() {
    ck_Levellog->setChecked(settings.CHK_LEVELLOG);
    ck_Termolog->setChecked(settings.CHK_TERMLOG);
}

void TfmSetup::ck_LevellogClick() {
    settings.CHK_LEVELLOG = ck_Levellog->isChecked();
}

void TfmSetup::ck_TermologClick() {
    settings.CHK_TERMLOG = ck_Termolog->isChecked();
}

void TfmSetup::ed_llogChange() {
    settings.LLOG_PATH = ToStoredText(ed_llog->text());
}

void TfmSetup::ed_tlogChange() {
    settings.TLOG_PATH = ToStoredText(ed_tlog->text());
}

void TfmSetup::SpeedButton2Click() {
    browseLogFile(ed_llog, settings.LLOG_PATH);
}

void TfmSetup::SpeedButton1Click() {
    browseLogFile(ed_tlog, settings.TLOG_PATH);
}

void TfmSetup::browseLogFile(QLineEdit* edit, std::string& path) {
    const QString chosen = dialogs().logFileName(this);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    const QString full = QDir::toNativeSeparators(chosen);
    path = ToStoredText(full);
    edit->setText(full);
}

void TfmSetup::lev_rg_frequClick() {
    settings.FRE_LEVEL = lev_rg_frequ->itemIndex();
}

void TfmSetup::rg_frequClick() {
    settings.FRE_TERM = rg_frequ->itemIndex();
}

void TfmSetup::rg_portClick() {
    settings.GL_COM = rg_port->itemIndex();
}

void TfmSetup::LevelKnobPositionChange() {
    knobTurned(LevelKnob, seg_levadr, settings.LEV_ADR);
}

void TfmSetup::TermoKnobPositionChange() {
    knobTurned(TermoKnob, seg_termadr, settings.TERM_ADR);
}

void TfmSetup::knobTurned(const AddressKnob* knob, SegmentDisplay* display, std::int32_t& address) {
    // Setting and display change only when the position crosses a whole number.
    if (knob->address() == address)
        return;
    address = knob->address();
    display->showNumber(address);
}

void TfmSetup::LevelKnobClick() {
    knobClicked(LevelKnob, seg_levadr, settings.LEV_ADR);
}

void TfmSetup::TermoKnobClick() {
    knobClicked(TermoKnob, seg_termadr, settings.TERM_ADR);
}

void TfmSetup::knobClicked(const AddressKnob* knob, SegmentDisplay* display, std::int32_t address) {
    // Shows what the knob points at, without writing it. A stored address the knob cannot
    // show stays on the display until the knob is really turned.
    if (AddressKnob::canShow(address))
        display->showNumber(knob->address());
}

void TfmSetup::chk_v264Click() {
    settings.CHK_V264 = chk_v264->isChecked();
    // The two firmware options exclude each other.
    chk_v300->setChecked(false);
    settings.CHK_V300 = false;
}

void TfmSetup::chk_v300Click() {
    settings.CHK_V300 = chk_v300->isChecked();
    chk_v264->setChecked(false);
    settings.CHK_V264 = false;
}

void TfmSetup::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmSetup::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT closed();
}
