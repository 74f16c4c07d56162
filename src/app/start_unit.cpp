#include "app/start_unit.h"

#include "alarm/alarm.h"
#include "app/diagnose.h"
#include "app/filelog.h"
#include "app/monidesk.h"
#include "app/network_wiring.h"
#include "level/tidespan.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "net/mqtt_option.h"
#include "net/network_settings_store.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/file_text.h"
#include "platform/window_frame.h"
#include "settings/settings_io.h"
#include "settings/setup.h"
#include "temperature/heatspan.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

void showSettingsMessage(const std::string& text) {
    dialogs().message(nullptr, QString::fromStdString(text));
}

} // namespace

TfmStart::TfmStart(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Velcor Monidesk V2.0"), 366, 67);
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icons/monidesk.svg")));
    move(490, 335);

    bt_tidespan = makeButton(4, QStringLiteral("TideSpan"), QStringLiteral("tidespan"));
    bt_heatspan = makeButton(64, QStringLiteral("HeatSpan"), QStringLiteral("heatspan"));
    bt_setup = makeButton(124, QStringLiteral("Setup"), QStringLiteral("setup"));
    bt_alarm = makeButton(184, QStringLiteral("Alarm"), QStringLiteral("alarm"));
    bt_diagnose = makeButton(244, QStringLiteral("Diagnose"), QStringLiteral("diagnose"));
    bt_minimize = makeButton(304, QStringLiteral("Minimize"), QStringLiteral("minimize"));
    connect(bt_tidespan, &QToolButton::clicked, this, &TfmStart::bt_tidespanClick);
    connect(bt_heatspan, &QToolButton::clicked, this, &TfmStart::bt_heatspanClick);
    connect(bt_setup, &QToolButton::clicked, this, &TfmStart::bt_setupClick);
    connect(bt_alarm, &QToolButton::clicked, this, &TfmStart::bt_alarmClick);
    connect(bt_diagnose, &QToolButton::clicked, this, &TfmStart::bt_diagnoseClick);
    connect(bt_minimize, &QToolButton::clicked, this, &TfmStart::bt_minimizeClick);

    TR1 = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/monidesk.svg")), this);
    TR1->setToolTip(QStringLiteral("Velcor Monidesk"));
    connect(TR1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            TR1Click();
    });
    auto* trayMenu = new QMenu(this);
    trayMenu->addAction(QStringLiteral("Netzwerk"), this, &TfmStart::networkRequested);
    TR1->setContextMenu(trayMenu);

    // Started once every window exists (CreateWindows): a message box shown while the
    // settings load runs an event loop of its own, and a tick there would poll before the
    // diagnose window and the serial holder exist. The tick is queued rather than run
    // inside the timer's own event: Qt does not fire a timer again while its handler runs,
    // so a message box opened by a tick would stop the polling and logging until it is
    // closed. Queued, the box's own loop goes on ticking. A tick still queued when the
    // timer stops is dropped.
    Timer2 = new QTimer(this);
    Timer2->setInterval(100);
    connect(
        Timer2, &QTimer::timeout, this,
        [this] {
            if (Timer2->isActive())
                Timer2Timer();
        },
        Qt::QueuedConnection);

    FormCreate();
}

TfmStart::~TfmStart() {
    FormDestroy();
}

QToolButton* TfmStart::makeButton(int left, const QString& caption, const QString& icon) {
    auto* button = new QToolButton(this);
    button->setGeometry(left, 4, 60, 60);
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(false);
    return button;
}

void TfmStart::FormCreate() {
    // Numbers are written and parsed with "." everywhere through locale-independent
    // functions, so there is no process-wide separator to set here.
    LoadSettings();
}

void TfmStart::LoadSettings() {
    // The network values come after the 32, in the same opening of the store.
    if (auto store = OpenUserSettingsStore())
        LoadSettingsWithNetwork(*store, settings, networkSettings, showSettingsMessage);
    storedNetwork_ = networkSettings;
    if (mqttOverride)
        ApplyMqttOverride(networkSettings, *mqttOverride);
}

void TfmStart::ApplyFirstRunDefaults() {
    ::ApplyFirstRunDefaults(settings);
    // The temperature window exists already and took the names loaded (none on a first
    // run): it shows the defaults from now on, not only once it is shown.
    if (fmTermo)
        fmTermo->ShowChannelNames();
}

void TfmStart::SaveSettings() {
    if (auto store = OpenUserSettingsStore())
        SaveSettingsWithNetwork(
            *store, settings,
            mqttOverride ? WithoutMqttOverride(networkSettings, storedNetwork_, *mqttOverride)
                         : networkSettings,
            showSettingsMessage);
}

void TfmStart::ApplyChannelNames() {
    for (int n = 1; n <= 8; ++n)
        settings.channelName(n) = ToStoredText(fmSetup->Edit[n - 1]->text());
    // The temperature window's labels and chart legend follow the names, shown or not.
    fmTermo->ShowChannelNames();
}

void TfmStart::Timer2Timer() {
    // One reading of the clock per tick: every reading decoded in it carries this time.
    const TickTimeScope tickTime(Now());
    ErrorReport::RunTick([] {
        PollUsbReceiver();
        PollSerialReceiver(fmSerial);
        PollRemoteLink();
        if (fmDiagnose)
            fmDiagnose->l_incount->setText(StatusLine());
        if (settings.CHK_TERMLOG && fmFilelog)
            fmFilelog->WriteTermoLog();
        if (settings.CHK_LEVELLOG && fmFilelog)
            fmFilelog->WriteLevelLog();
        if (fmDiagnose) {
            fmDiagnose->l_termlog->setText(TermoLogStatus());
            fmDiagnose->l_levellog->setText(LevelLogStatus());
        }
    });
}

void TfmStart::bt_tidespanClick() {
    ShowWindow(fmLevel);
}
void TfmStart::bt_heatspanClick() {
    ShowWindow(fmTermo);
}
void TfmStart::bt_setupClick() {
    ShowWindow(fmSetup);
}
void TfmStart::bt_alarmClick() {
    ShowWindow(fmAlarm);
}
void TfmStart::bt_diagnoseClick() {
    ShowWindow(fmDiagnose);
}

void TfmStart::bt_minimizeClick() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // No tray on this desktop: the task bar keeps the program reachable.
        showMinimized();
        return;
    }
    minimizeToTray();
}

void TfmStart::minimizeToTray() {
    // Every open window goes away with the main window and comes back with it; tool tips
    // and pop-ups are no windows of the program's.
    hiddenForTray_.clear();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const auto type = window->windowType();
        if (window != this && window->isVisible() && (type == Qt::Window || type == Qt::Dialog)) {
            hiddenForTray_.append(window);
            window->hide();
        }
    }
    TR1->setVisible(true);
    hide();
}

bool TfmStart::inTray() const {
    // Only the tray icon is left while the program sits in the tray.
    return TR1->isVisible() && !isVisible();
}

void TfmStart::TR1Click() {
    TR1->setVisible(false);
    ShowWindow(this);
    for (const QPointer<QWidget>& window : std::as_const(hiddenForTray_))
        if (window)
            window->show();
    hiddenForTray_.clear();
    raise();
    activateWindow();
}

void TfmStart::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    QCoreApplication::quit();
}

void TfmStart::FormClose() {
    if (closing_)
        return;
    closing_ = true;
    Timer2->stop();
    // No tick runs from here on; the windows go after a one-second pause.
    QThread::msleep(1000);
}

void TfmStart::FormDestroy() {
    SaveSettings();
}
