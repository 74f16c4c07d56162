#include "alarm/alarm.h"

#include "platform/window_frame.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>

namespace {

constexpr int kPanelWidth = 149;
constexpr int kPanelHeight = 185;
constexpr int kBoxSpacing = 20;

} // namespace

TfmAlarm::TfmAlarm(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Alarm"), 317, 197);
    const auto tide = makeHalf(6, QStringLiteral("TideSpan"), Panel3, Panel4, GroupBox2);
    lev_al_led = tide[0];
    lev_al_buz = tide[1];
    lev_al_out1 = tide[2];
    lev_al_out2 = tide[3];
    lev_al_sf = tide[4];
    const auto heat = makeHalf(162, QStringLiteral("HeatSpan"), Panel1, Panel2, GroupBox1);
    al_led = heat[0];
    al_buz = heat[1];
    al_out1 = heat[2];
    al_out2 = heat[3];
    al_sf = heat[4];

    connect(lev_al_led, &QCheckBox::clicked, this, &TfmAlarm::lev_al_ledClick);
    connect(lev_al_buz, &QCheckBox::clicked, this, &TfmAlarm::lev_al_buzClick);
    connect(lev_al_out1, &QCheckBox::clicked, this, &TfmAlarm::lev_al_out1Click);
    connect(lev_al_out2, &QCheckBox::clicked, this, &TfmAlarm::lev_al_out2Click);
    connect(lev_al_sf, &QCheckBox::clicked, this, &TfmAlarm::lev_al_sfClick);
    connect(al_led, &QCheckBox::clicked, this, &TfmAlarm::al_ledClick);
    connect(al_buz, &QCheckBox::clicked, this, &TfmAlarm::al_buzClick);
    connect(al_out1, &QCheckBox::clicked, this, &TfmAlarm::al_out1Click);
    connect(al_out2, &QCheckBox::clicked, this, &TfmAlarm::al_out2Click);
    connect(al_sf, &QCheckBox::clicked, this, &TfmAlarm::al_sfClick);
}

std::array<QCheckBox*, 5> TfmAlarm::makeHalf(int left, const QString& heading, QFrame*& panel,
                                             QLabel*& title, QGroupBox*& group) {
    panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(left, 6, kPanelWidth, kPanelHeight);

    title = new QLabel(heading, panel);
    title->setFrameStyle(QFrame::Panel | QFrame::Raised);
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    title->setFont(bold);
    title->setGeometry(4, 4, kPanelWidth - 8, 30);

    group = new QGroupBox(QStringLiteral("Aktivierung"), panel);
    group->setGeometry(4, 40, kPanelWidth - 8, kPanelHeight - 44);
    const char* captions[] = {"ALARM LED", "ALARM BUZZER", "AUSGANG 1", "AUSGANG 2",
                              "SENSORFEHLER"};
    std::array<QCheckBox*, 5> boxes{};
    for (int i = 0; i < 5; ++i) {
        boxes[i] = new QCheckBox(QString::fromLatin1(captions[i]), group);
        boxes[i]->setGeometry(12, 22 + kBoxSpacing * i, kPanelWidth - 32, 17);
    }
    return boxes;
}

void TfmAlarm::FormShow() {
    lev_al_led->setChecked(settings.lev_ck_al_led);
    lev_al_buz->setChecked(settings.lev_ck_al_buz);
    lev_al_out1->setChecked(settings.lev_ck_al_out1);
    lev_al_out2->setChecked(settings.lev_ck_al_out2);
    lev_al_sf->setChecked(settings.lev_ck_al_sf);
    al_led->setChecked(settings.ck_al_led);
    al_buz->setChecked(settings.ck_al_buz);
    al_out1->setChecked(settings.ck_al_out1);
    al_out2->setChecked(settings.ck_al_out2);
    al_sf->setChecked(settings.ck_al_sf);
}

void TfmAlarm::lev_al_ledClick() {
    settings.lev_ck_al_led = lev_al_led->isChecked();
}
void TfmAlarm::lev_al_buzClick() {
    settings.lev_ck_al_buz = lev_al_buz->isChecked();
}
void TfmAlarm::lev_al_out1Click() {
    settings.lev_ck_al_out1 = lev_al_out1->isChecked();
}
void TfmAlarm::lev_al_out2Click() {
    settings.lev_ck_al_out2 = lev_al_out2->isChecked();
}
void TfmAlarm::lev_al_sfClick() {
    settings.lev_ck_al_sf = lev_al_sf->isChecked();
}
void TfmAlarm::al_ledClick() {
    settings.ck_al_led = al_led->isChecked();
}
void TfmAlarm::al_buzClick() {
    settings.ck_al_buz = al_buz->isChecked();
}
void TfmAlarm::al_out1Click() {
    settings.ck_al_out1 = al_out1->isChecked();
}
void TfmAlarm::al_out2Click() {
    settings.ck_al_out2 = al_out2->isChecked();
}
void TfmAlarm::al_sfClick() {
    settings.ck_al_sf = al_sf->isChecked();
}

void TfmAlarm::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}
