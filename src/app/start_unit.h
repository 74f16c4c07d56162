#pragma once

#include "net/network_settings.h"

#include <QPointer>
#include <QWidget>

class QSystemTrayIcon;
class QTimer;
class QToolButton;

// The main window: six buttons, the tray icon and the 100 ms poll tick.
class TfmStart : public QWidget {
    Q_OBJECT
public:
    explicit TfmStart(QWidget* parent = nullptr);
    ~TfmStart() override;

    QToolButton* bt_tidespan = nullptr;
    QToolButton* bt_heatspan = nullptr;
    QToolButton* bt_setup = nullptr;
    QToolButton* bt_alarm = nullptr;
    QToolButton* bt_diagnose = nullptr;
    QToolButton* bt_minimize = nullptr;
    QSystemTrayIcon* TR1 = nullptr;
    QTimer* Timer2 = nullptr;

    void LoadSettings();
    void ApplyFirstRunDefaults();
    void SaveSettings();
    // Takes the eight names of the setup window's edits and shows them in the
    // temperature window's labels and chart legend.
    void ApplyChannelNames();

    // The poll tick.
    void Timer2Timer();

    void bt_tidespanClick();
    void bt_heatspanClick();
    void bt_setupClick();
    void bt_alarmClick();
    void bt_diagnoseClick();
    void bt_minimizeClick();
    // The tray half of bt_minimizeClick, for a desktop that offers a tray.
    void minimizeToTray();
    void TR1Click();

    // Whether the program sits in the tray now.
    bool inTray() const;

Q_SIGNALS:
    // "Netzwerk" was chosen in the tray icon's menu.
    void networkRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void FormDestroy();
    QToolButton* makeButton(int left, const QString& caption, const QString& icon);

    bool closing_ = false;
    NetworkSettings storedNetwork_;          // as loaded, before --mqtt
    QList<QPointer<QWidget>> hiddenForTray_; // a window may go while in the tray
};
