#pragma once

#include <QWidget>

struct NetworkSettings;
class Led;
class PasswordKeeper;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;
class RadioGroup;

// The Netzwerk window: publishing to an MQTT broker and the remote station. Like the setup
// window it has no OK or Cancel: every control writes its value into the network settings
// at once. settingsChanged() tells that the connection should be tried anew: at once for
// switches, the port and a chosen file, and for typed texts when the typing is done (Return,
// the focus leaves, the window closes), not at every key. The password goes to the keeper,
// never into the settings, and is never shown back.
class TfmNetwork : public QWidget {
    Q_OBJECT
public:
    TfmNetwork(NetworkSettings& network, PasswordKeeper& keeper, QWidget* parent = nullptr);
    // A password typed last goes to the keeper also when the program ends with it typed.
    ~TfmNetwork() override;

    QGroupBox* gb_broker = nullptr;     // "Broker"
    QCheckBox* ck_publish = nullptr;    // "Veröffentlichen"
    QLineEdit* ed_host = nullptr;       // "Host:"
    QSpinBox* se_port = nullptr;        // "Port:"
    QCheckBox* ck_tls = nullptr;        // "TLS"
    QLineEdit* ed_cafile = nullptr;     // "CA-Datei:"
    QToolButton* bt_cafile = nullptr;   // browse for the CA file
    QLineEdit* ed_certfile = nullptr;   // "Zertifikat:" (client certificate)
    QToolButton* bt_certfile = nullptr; // browse for it
    QLineEdit* ed_keyfile = nullptr;    // "Schlüssel:" (client key)
    QToolButton* bt_keyfile = nullptr;  // browse for it
    QLineEdit* ed_user = nullptr;       // "Benutzer:"
    QLineEdit* ed_password = nullptr;   // "Passwort:"
    QGroupBox* gb_topics = nullptr;     // "Daten"
    QLineEdit* ed_topic = nullptr;      // "Basis-Topic:"
    QLineEdit* ed_remote = nullptr;     // "Fernstation:"
    QCheckBox* ck_discovery = nullptr;  // "Home Assistant Discovery"
    RadioGroup* rg_rate = nullptr;      // "HÄUFIGKEIT"
    QGroupBox* gb_connection = nullptr; // "Verbindung"
    Led* led_connection = nullptr;
    QLabel* l_connection = nullptr; // connected or not
    QLabel* l_error = nullptr;      // the last error in words

    // Fills the controls from the settings.
    void FormShow();

public Q_SLOTS:
    // The connection as the publisher sees it; an empty error clears the shown one.
    void showConnection(bool connected, const QString& lastError);

Q_SIGNALS:
    void settingsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createBrokerGroup();
    void createTopicsGroup();
    void createConnectionGroup();
    void connectHandlers();
    QLineEdit* addTextRow(QWidget* group, int row, const QString& caption);
    QToolButton* addBrowseButton(QWidget* group, int row);

    void ck_publishClick();
    void ck_tlsClick();
    void se_portChange();
    void rg_rateClick();
    void ck_discoveryClick();
    void browse(QLineEdit* edit, QString& path);
    void textEdited(QLineEdit* edit, QString& value);
    void typingDone();
    void passwordDone();
    void showPasswordPlace();
    void showTlsFiles();
    void showState();

    NetworkSettings& network_;
    PasswordKeeper& keeper_;
    bool typed_ = false; // a text was edited since the last settingsChanged()
    bool connected_ = false;
};
