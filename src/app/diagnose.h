#pragma once

#include "link/link_indicators.h"

#include <QWidget>

#include <cstdint>

class QLabel;
class Led;

// The diagnose window: written by the links and the poll tick, no logic of its own.
class TfmDiagnose : public QWidget, public LinkIndicators {
    Q_OBJECT
public:
    explicit TfmDiagnose(QWidget* parent = nullptr);

    Led* led_scanusb = nullptr;
    Led* led_scancom = nullptr;
    Led* led_scannet = nullptr;
    Led* led_datastream = nullptr;
    QLabel* l_devcount = nullptr;
    QLabel* l_devname = nullptr;
    QLabel* l_incount = nullptr;
    QLabel* l_termlog = nullptr;
    QLabel* l_levellog = nullptr;
    QLabel* l_network = nullptr;
    QLabel* l_outbox = nullptr;

    void toggleScanUsb() override;
    void toggleScanCom() override;
    void toggleDataStream() override;
    void setDeviceCountText(const QString& text) override;
    void setDeviceNameText(const QString& text) override;

    // The remote link's LED, toggled per telegram it brings.
    void toggleScanNet();
    // "Netzwerk: verbunden mit host:port", the last error, or "Netzwerk: aus".
    void showNetworkState(const QString& text);
    void showOutbox(std::int64_t waiting, std::uint64_t dropped);
};
