#include "ui/PortDeviceDialog.h"

#include "link/PortDevice.h"
#include "ui/Mnemonics.h"
#include "ui/PlanDialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quintara::ui {

PortDeviceDialog::PortDeviceDialog(int portNumber, const QString &device,
                                   const QString &ownDevice, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PortDeviceDialog"));
    setWindowTitle(QStringLiteral("Quintara - COM%1").arg(portNumber));
    auto *column = new QVBoxLayout(this);
    auto *intro = new QLabel(
        tr("A serial device, or a serial port server on the network: tcp://HOST:PORT carries "
           "the line's bytes as they are, rfc2217://HOST:PORT also sets the far port's baud "
           "rate. Empty for the port's own device. The network line is not encrypted: use it "
           "inside the installation's network or through a tunnel."),
        this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto *fields = new QFormLayout;
    m_device = new QLineEdit(device.trimmed(), this);
    m_device->setObjectName(QStringLiteral("txtDevice"));
    m_device->setPlaceholderText(ownDevice);
    fields->addRow(tr("&Device or address:"), m_device);
    column->addLayout(fields);

    m_refusal = MakeRefusalLabel(this);
    m_refusal->hide();
    column->addWidget(m_refusal);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortDeviceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    // Room for the wrapped text: a word-wrapped label asks for too little height otherwise.
    setMinimumWidth(420);
    AssignMnemonics(*this);
}

QString PortDeviceDialog::device() const
{
    return m_device->text().trimmed();
}

void PortDeviceDialog::accept()
{
    if (const std::optional<QString> refusal = link::PortDeviceRefusal(device())) {
        m_refusal->setText(*refusal);
        m_refusal->show();
        m_device->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace quintara::ui
