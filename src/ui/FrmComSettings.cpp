// The line settings and the modem record as the communication dialog shows and stores them.
#include "ui/FrmCom.h"

#include "link/PortDevice.h"
#include "settings/ProfileFile.h"
#include "ui/PortDeviceDialog.h"
#include "ui/Program.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace quintara::ui {

namespace {

// The init strings of the two modems the program knows; the third type's is the user's own.
constexpr int ProximaLite = 0;
constexpr int StandardModem = 1;
constexpr int SpecificModem = 2;

const QString OwnSection = QStringLiteral("Quintara");

// "1" unless the user turned verifying off.
QString StoredVerify(const settings::ProfileFile &profile)
{
    return profile.readString(OwnSection, FrmCom::VerifyKey, QStringLiteral("1"), 5).trimmed();
}

} // namespace

void FrmCom::loadValues()
{
    const settings::Settings &settings = m_program.settings;
    for (int port = 1; port <= PortCount; ++port)
        m_cboPort->addItem(portText(port), port);
    m_cboPort->setCurrentIndex(m_cboPort->findData(int{settings.comPort}));
    for (int rate : BaudRates)
        m_cboBaudrate->addItem(QString::number(rate), rate);
    m_cboBaudrate->setCurrentIndex(m_cboBaudrate->findData(int{settings.baudRateInUse}));

    const project::ModemRec &modem = m_program.project.Modem;
    m_cboModem->addItems({QStringLiteral("Baush Proxima Lite"), QStringLiteral("Standaard modem"),
                          QStringLiteral("Specifieke modem")});
    m_chkModem->setChecked(modem.ModemInUse != 0);
    // A type byte the list doesn't know leaves no type chosen and the init string empty.
    m_cboModem->setCurrentIndex(modem.ModemType < m_cboModem->count() ? modem.ModemType : -1);
    m_txtTelNr->setText(modem.TelephoneNumber.text().trimmed());
    const QString callBack = modem.CallBackNumber.text().trimmed();
    if (!callBack.isEmpty()) {
        m_chkCallBack->setChecked(true);
        m_txtCallBack->setText(callBack);
    }
    modemClicked();
    callBackClicked();
    m_chkTimeSet->setChecked(settings.timeSet != 0);
    m_chkTimeSet->setVisible(true);
    // Our own key, on unless the user turned it off; only a send is verified.
    m_chkVerify->setChecked(StoredVerify(m_program.profile) != QLatin1String("0"));
    m_chkVerify->setVisible(m_mode == Mode::Transmit);
}

void FrmCom::portChosen()
{
    const QVariant port = m_cboPort->currentData();
    if (port.isValid())
        m_program.settings.comPort = static_cast<qint16>(port.toInt());
}

QString FrmCom::portText(int port) const
{
    // Each port with what it reaches: a device, or a serial port server on the network.
    return QStringLiteral("COM%1 – %2").arg(port).arg(
        link::DeviceMapFromSettings(m_program.profile)(port));
}

void FrmCom::editPortDevice()
{
    const int port = m_cboPort->currentData().isValid() ? m_cboPort->currentData().toInt() : 1;
    const QString key = QStringLiteral("COM%1").arg(port);
    const QString bound =
        m_program.profile.readString(QStringLiteral("Ports"), key, QString(), 255);
    PortDeviceDialog dialog(port, bound, settings::OwnPortDeviceName(port), this);
    if (dialog.exec() != QDialog::Accepted || dialog.device() == bound.trimmed())
        return;
    if (!link::BindPort(m_program.profile, port, dialog.device())) {
        m_program.prompter.show(tr("The settings file %1 could not be written.")
                                    .arg(QDir::toNativeSeparators(m_program.profile.path())),
                                windowTitle(), platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return;
    }
    m_cboPort->setItemText(m_cboPort->findData(port), portText(port));
    m_cboPort->setCurrentIndex(m_cboPort->findData(port));
    portChosen();
}

void FrmCom::baudRateChosen()
{
    const QVariant rate = m_cboBaudrate->currentData();
    if (!rate.isValid())
        return;
    m_program.settings.baudRateInUse = rate.toInt();
    m_program.project.System.BaudRate = rate.toInt();
}

void FrmCom::modemTypeChosen()
{
    m_txtInitString->setEnabled(false);
    switch (m_cboModem->currentIndex()) {
    case ProximaLite:
        m_txtInitString->setText(QStringLiteral("AT&F%C0"));
        break;
    case StandardModem:
        m_txtInitString->setText(QStringLiteral("ATZ0"));
        break;
    case SpecificModem:
        m_txtInitString->setText(m_program.project.Modem.ModemInit.text().trimmed());
        // Editable only while a modem is in use at all.
        m_txtInitString->setEnabled(m_chkModem->isChecked());
        break;
    default:
        break;
    }
}

void FrmCom::modemClicked()
{
    const bool on = m_chkModem->isChecked();
    for (QWidget *widget : std::initializer_list<QWidget *>{m_lblModem, m_cboModem, m_lblInitString,
                                                            m_txtTelNr, m_lblTelNr, m_chkCallBack})
        widget->setEnabled(on);
    if (!on)
        m_txtInitString->setEnabled(false);
    modemTypeChosen();
}

void FrmCom::callBackClicked()
{
    const bool on = m_chkCallBack->isChecked();
    if (!on)
        m_txtCallBack->clear();
    m_txtCallBack->setEnabled(on);
    m_lblCallBack->setEnabled(on);
}

void FrmCom::storeDialog()
{
    m_program.settings.timeSet = m_chkTimeSet->isChecked() ? 1 : 0;
    project::ModemRec &modem = m_program.project.Modem;
    modem.ModemInUse = m_chkModem->isChecked() ? 1 : 0;
    if (m_cboModem->currentIndex() >= 0)
        modem.ModemType = static_cast<quint8>(m_cboModem->currentIndex());
    modem.ModemInit = m_txtInitString->text();
    modem.TelephoneNumber = m_txtTelNr->text();
    modem.CallBackNumber = m_txtCallBack->text();
    const QString verify = m_chkVerify->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (m_mode == Mode::Transmit && StoredVerify(m_program.profile) != verify)
        m_program.profile.writeString(OwnSection, VerifyKey, verify);
}

} // namespace quintara::ui
