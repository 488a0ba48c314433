#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace quintara::ui {

// What one port of the communication dialog reaches: a serial device, or a serial port server
// on the network. OK keeps the dialog open while the text is no whole address, and says why.
class PortDeviceDialog : public QDialog {
    Q_OBJECT
public:
    // `device` as the settings name it; empty for the port's own device, shown greyed.
    PortDeviceDialog(int portNumber, const QString &device, const QString &ownDevice,
                     QWidget *parent = nullptr);

    QString device() const;
    void accept() override;

private:
    QLineEdit *m_device = nullptr;
    QLabel *m_refusal = nullptr;
};

} // namespace quintara::ui
