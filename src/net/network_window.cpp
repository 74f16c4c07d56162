#include "net/network_window.h"

#include "net/network_settings.h"
#include "net/network_settings_store.h"
#include "net/password_keeper.h"
#include "platform/dialogs.h"
#include "platform/window_frame.h"
#include "widgets/led.h"
#include "widgets/radio_group.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>
#include <utility>

TfmNetwork::TfmNetwork(NetworkSettings& network, PasswordKeeper& keeper, QWidget* parent)
    : QWidget(parent), network_(network), keeper_(keeper) {
    MakeFixedWindow(this, QStringLiteral("Netzwerk"), 660, 300);
    createBrokerGroup();
    createTopicsGroup();
    createConnectionGroup();
    connectHandlers();
    showConnection(false, {});
}

TfmNetwork::~TfmNetwork() {
    passwordDone();
}

QLineEdit* TfmNetwork::addTextRow(QWidget* group, int row, const QString& caption) {
    auto* grid = static_cast<QGridLayout*>(group->layout());
    auto* edit = new QLineEdit(group);
    grid->addWidget(new QLabel(caption, group), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

QToolButton* TfmNetwork::addBrowseButton(QWidget* group, int row) {
    auto* button = new QToolButton(group);
    button->setFixedSize(23, 22);
    button->setIcon(QIcon(QStringLiteral(":/icons/button_open.svg")));
    button->setIconSize(QSize(16, 16));
    static_cast<QGridLayout*>(group->layout())->addWidget(button, row, 2);
    return button;
}

void TfmNetwork::createBrokerGroup() {
    gb_broker = new QGroupBox(QStringLiteral("Broker"), this);
    gb_broker->setGeometry(8, 8, 300, 284);
    auto* grid = new QGridLayout(gb_broker);
    grid->setColumnStretch(1, 1);
    ck_publish = new QCheckBox(QStringLiteral("Veröffentlichen"), gb_broker);
    grid->addWidget(ck_publish, 0, 0, 1, 3);
    ed_host = addTextRow(gb_broker, 1, QStringLiteral("Host:"));
    se_port = new QSpinBox(gb_broker);
    se_port->setRange(1, 65535);
    se_port->setKeyboardTracking(false); // a typed port counts once it is complete
    se_port->setFixedWidth(80);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), gb_broker), 2, 0);
    grid->addWidget(se_port, 2, 1, Qt::AlignLeft);
    ck_tls = new QCheckBox(QStringLiteral("TLS"), gb_broker);
    grid->addWidget(ck_tls, 3, 0, 1, 3);
    ed_cafile = addTextRow(gb_broker, 4, QStringLiteral("CA-Datei:"));
    bt_cafile = addBrowseButton(gb_broker, 4);
    ed_certfile = addTextRow(gb_broker, 5, QStringLiteral("Zertifikat:"));
    bt_certfile = addBrowseButton(gb_broker, 5);
    ed_keyfile = addTextRow(gb_broker, 6, QStringLiteral("Schlüssel:"));
    bt_keyfile = addBrowseButton(gb_broker, 6);
    ed_user = addTextRow(gb_broker, 7, QStringLiteral("Benutzer:"));
    ed_password = addTextRow(gb_broker, 8, QStringLiteral("Passwort:"));
    ed_password->setEchoMode(QLineEdit::Password);
}

void TfmNetwork::createTopicsGroup() {
    gb_topics = new QGroupBox(QStringLiteral("Daten"), this);
    gb_topics->setGeometry(316, 8, 336, 104);
    auto* grid = new QGridLayout(gb_topics);
    grid->setColumnStretch(1, 1);
    ed_topic = addTextRow(gb_topics, 0, QStringLiteral("Basis-Topic:"));
    ed_topic->setPlaceholderText(DefaultBaseTopic());
    ed_remote = addTextRow(gb_topics, 1, QStringLiteral("Fernstation:"));
    ed_remote->setPlaceholderText(QStringLiteral("Basis-Topic einer anderen Station"));
    ck_discovery = new QCheckBox(QStringLiteral("Home Assistant Discovery"), gb_topics);
    grid->addWidget(ck_discovery, 2, 0, 1, 2);

    rg_rate = new RadioGroup(QStringLiteral("HÄUFIGKEIT"),
                             {QStringLiteral("jede Messung"), QStringLiteral("höchstens 1/s"),
                              QStringLiteral("höchstens alle 10 s"),
                              QStringLiteral("höchstens alle 60 s")},
                             2, this);
    rg_rate->setGeometry(316, 118, 336, 74);
}

void TfmNetwork::createConnectionGroup() {
    gb_connection = new QGroupBox(QStringLiteral("Verbindung"), this);
    gb_connection->setGeometry(316, 198, 336, 94);
    led_connection = new Led(gb_connection);
    led_connection->setColors(QColor(0, 255, 0), QColor(0, 96, 0));
    led_connection->setFixedSize(18, 18);
    l_connection = new QLabel(gb_connection);
    l_error = new QLabel(gb_connection);
    l_error->setWordWrap(true);
    l_error->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l_error->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* column = new QVBoxLayout(gb_connection);
    auto* row = new QHBoxLayout;
    row->addWidget(led_connection);
    row->addWidget(l_connection, 1);
    column->addLayout(row);
    column->addWidget(l_error, 1);
}

void TfmNetwork::connectHandlers() {
    // Only what the user does writes a value: a box or item clicked, a text edited (not
    // set), the port stepped or typed. Filling the controls writes nothing back.
    connect(ck_publish, &QCheckBox::clicked, this, &TfmNetwork::ck_publishClick);
    connect(ck_tls, &QCheckBox::clicked, this, &TfmNetwork::ck_tlsClick);
    connect(ck_discovery, &QCheckBox::clicked, this, &TfmNetwork::ck_discoveryClick);
    connect(se_port, &QSpinBox::valueChanged, this, &TfmNetwork::se_portChange);
    connect(rg_rate, &RadioGroup::clicked, this, &TfmNetwork::rg_rateClick);
    const std::pair<QLineEdit*, QString NetworkSettings::*> texts[] = {
        {ed_host, &NetworkSettings::host},
        {ed_cafile, &NetworkSettings::caFile},
        {ed_certfile, &NetworkSettings::clientCertFile},
        {ed_keyfile, &NetworkSettings::clientKeyFile},
        {ed_user, &NetworkSettings::user},
        {ed_topic, &NetworkSettings::baseTopic},
        {ed_remote, &NetworkSettings::remoteBase},
    };
    for (const auto& [edit, member] : texts) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, edit = edit, member = member] { textEdited(edit, network_.*member); });
        connect(edit, &QLineEdit::editingFinished, this, &TfmNetwork::typingDone);
    }
    const std::tuple<QToolButton*, QLineEdit*, QString NetworkSettings::*> browsers[] = {
        {bt_cafile, ed_cafile, &NetworkSettings::caFile},
        {bt_certfile, ed_certfile, &NetworkSettings::clientCertFile},
        {bt_keyfile, ed_keyfile, &NetworkSettings::clientKeyFile},
    };
    for (const auto& [button, edit, member] : browsers)
        connect(button, &QToolButton::clicked, this,
                [this, edit = edit, member = member] { browse(edit, network_.*member); });
    connect(ed_password, &QLineEdit::editingFinished, this, &TfmNetwork::passwordDone);
    connect(&keeper_, &PasswordKeeper::loaded, this, &TfmNetwork::showPasswordPlace);
    connect(&keeper_, &PasswordKeeper::stored, this, [this](bool ok) {
        showPasswordPlace();
        if (!ok)
            dialogs().message(this, keeper_.lastError());
    });
}

void TfmNetwork::FormShow() {
    ck_publish->setChecked(network_.enabled);
    ed_host->setText(network_.host);
    {
        const QSignalBlocker quiet(se_port);
        se_port->setValue(network_.port);
    }
    ck_tls->setChecked(network_.tls);
    ed_cafile->setText(network_.caFile);
    ed_certfile->setText(network_.clientCertFile);
    ed_keyfile->setText(network_.clientKeyFile);
    ed_user->setText(network_.user);
    ed_password->clear(); // the kept password is never shown back
    ed_topic->setText(network_.baseTopic);
    ed_remote->setText(network_.remoteBase);
    ck_discovery->setChecked(network_.discovery);
    rg_rate->setItemIndex(network_.rate);
    showPasswordPlace();
    showTlsFiles();
    showState();
}

void TfmNetwork::showConnection(bool connected, const QString& lastError) {
    connected_ = connected;
    l_error->setText(lastError);
    showState();
}

void TfmNetwork::showState() {
    led_connection->setActive(connected_);
    if (connected_)
        l_connection->setText(
            QStringLiteral("Verbunden mit %1:%2").arg(network_.host).arg(network_.port));
    else if (network_.enabled)
        l_connection->setText(QStringLiteral("Nicht verbunden"));
    else
        l_connection->setText(QStringLiteral("Veröffentlichen ist aus"));
}

void TfmNetwork::showPasswordPlace() {
    switch (keeper_.place()) {
    case PasswordKeeper::Place::Keyring:
        ed_password->setPlaceholderText(QStringLiteral("im Schlüsselbund gespeichert"));
        break;
    case PasswordKeeper::Place::File:
        ed_password->setPlaceholderText(
            QStringLiteral("in Datei gespeichert (nur für Sie lesbar)"));
        break;
    case PasswordKeeper::Place::Nowhere:
        ed_password->setPlaceholderText(QStringLiteral("kein Passwort"));
        break;
    }
}

void TfmNetwork::showTlsFiles() {
    for (QWidget* w : {static_cast<QWidget*>(ed_cafile), static_cast<QWidget*>(bt_cafile),
                       static_cast<QWidget*>(ed_certfile), static_cast<QWidget*>(bt_certfile),
                       static_cast<QWidget*>(ed_keyfile), static_cast<QWidget*>(bt_keyfile)})
        w->setEnabled(network_.tls);
}

void TfmNetwork::ck_publishClick() {
    network_.enabled = ck_publish->isChecked();
    showState();
    Q_EMIT settingsChanged();
}

void TfmNetwork::ck_tlsClick() {
    network_.tls = ck_tls->isChecked();
    // A port still at the other mode's usual one follows the mode.
    const int from = network_.tls ? kMqttPort : kMqttTlsPort;
    if (network_.port == from) {
        network_.port = network_.tls ? kMqttTlsPort : kMqttPort;
        const QSignalBlocker quiet(se_port);
        se_port->setValue(network_.port);
    }
    showTlsFiles();
    Q_EMIT settingsChanged();
}

void TfmNetwork::se_portChange() {
    network_.port = se_port->value();
    Q_EMIT settingsChanged();
}

void TfmNetwork::rg_rateClick() {
    network_.rate = rg_rate->itemIndex();
    Q_EMIT settingsChanged();
}

void TfmNetwork::ck_discoveryClick() {
    network_.discovery = ck_discovery->isChecked();
    Q_EMIT settingsChanged();
}

void TfmNetwork::browse(QLineEdit* edit, QString& path) {
    const QString chosen = dialogs().openFileName(this);
    if (chosen.isEmpty())
        return; // cancelled: nothing changes
    path = QDir::toNativeSeparators(chosen);
    edit->setText(path);
    Q_EMIT settingsChanged();
}

void TfmNetwork::textEdited(QLineEdit* edit, QString& value) {
    value = edit->text();
    typed_ = true;
}

void TfmNetwork::typingDone() {
    if (!std::exchange(typed_, false))
        return;
    showState();
    Q_EMIT settingsChanged();
}

void TfmNetwork::passwordDone() {
    if (!ed_password->isModified())
        return;
    ed_password->setModified(false);
    keeper_.store(ed_password->text());
    Q_EMIT settingsChanged();
}

void TfmNetwork::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmNetwork::hideEvent(QHideEvent* event) {
    // What was typed last counts also when the window closes with the focus still in it.
    passwordDone();
    typingDone();
    QWidget::hideEvent(event);
}
