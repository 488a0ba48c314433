#pragma once

#include "book/SiteBook.h"
#include "link/Verify.h"

#include <QDialog>
#include <QString>

#include <functional>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QToolButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quintara::link {
class CentralLink;
class SerialLine;
class TrafficTrace;
struct TransferOutcome;
} // namespace quintara::link

namespace quintara::ui {

struct Program;

// The communication dialog: sends the clock table to the central unit or receives it back (by
// mode), receives the unit's whole configuration as the project, and programs the modem at the
// unit's side. It shows and stores the line settings (port, baud rate), the project's modem
// record and the clock-setting flag.
//
// A transfer runs inside the button's handler, which runs the events and advances the link
// until it is done, so Cancel works; while it runs the OK button is disabled, and that is what
// Cancel and closing look at: they then only stop the transfer. Every transfer opens and
// closes the port itself.
class FrmCom : public QDialog {
    Q_OBJECT
public:
    // What OK does: "T" sends the clock table, "R" receives it.
    // Compare receives the unit's clock table beside the open one, which stays as it is.
    enum class Mode : char { Transmit = 'T', Receive = 'R', Compare = 'C' };

    // The items of the lists.
    static constexpr int PortCount = 8;
    static constexpr int BaudRates[] = {2400, 4800, 9600, 19200};

    // How the dialog was left.
    enum class Outcome { Cancelled, ClockTableDone, ProjectReceived };

    // Shows the dialog modally on the given line (the caller's, closed between transfers).
    // With a trace, every transfer records the line's bytes into it.
    static Outcome Run(Program &program, Mode mode, link::SerialLine &line,
                       QWidget *parent = nullptr, link::TrafficTrace *trace = nullptr);

    // The line and the trace are the caller's and outlive the dialog.
    FrmCom(Program &program, Mode mode, link::SerialLine &line, QWidget *parent = nullptr,
           link::TrafficTrace *trace = nullptr);
    ~FrmCom() override;

    Mode mode() const { return m_mode; }
    // A transfer or the modem programming is running.
    bool busy() const;
    // The whole configuration was received and is now the project.
    bool projectReceived() const { return m_projectReceived; }
    // What Compare found (also after a failed send whose table the unit may hold, when the
    // user took the offer to compare); nothing until it ran through.
    const std::optional<link::CentralComparison> &comparison() const { return m_comparison; }
    link::CentralLink &centralLink() { return *m_link; }

    // How a transfer of the clock table ended, for the site book: what happened to the table,
    // the link's code and, for a failed verify, the lines that differ.
    struct TableTransfer {
        book::VersionEvent event = book::VersionEvent::Sent;
        int outcome = 0;
        QString detail;
    };
    std::function<void(const TableTransfer &transfer)> tableTransferEnded;

    // The settings file's key (section "Quintara") for "Read back and verify after sending".
    static const QString VerifyKey;

    // Cancel, Escape: closes the dialog when idle, otherwise asks the transfer to stop.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    void buildModemGroup();
    void translate();
    void showSendCaption();
    void loadValues();

    void portChosen();
    QString portText(int port) const;
    // Binds the chosen port to a device or a network address in the settings file.
    void editPortDevice();
    void baudRateChosen();
    void modemTypeChosen();
    void modemClicked();
    void callBackClicked();

    void sendOK();
    void receiveEverything();
    void programModem();

    // Puts the modem, call-back and clock-setting choices into the project and the settings.
    void storeDialog();
    // Sends with the read-back and says how it went; true when the table came back as sent.
    bool sendAndVerify();
    // Receives the unit's clock table beside the open one; true when it came.
    bool compareWithCentral();
    // Tells why a send failed; when the unit may hold the new table and the user takes the
    // offer, compares: true when that comparison came.
    bool compareAfterFailedSend(const link::TransferOutcome &outcome);
    // Port, baud rate, modem and key of the next transfer, as the dialog shows them.
    void prepareLink();
    // Says that the tables are being made, lets that show, then readies the link and the set.
    void prepareTransfer();
    // Locks everything that could start another use of the port, or unlocks it again.
    void setIdle(bool idle);
    void showProgress(int percent, const QString &label);
    // Runs the events and advances the link until its job is done.
    void drive(link::CentralLink &link);
    // The beeps and messages of a job that failed; for a send after which the unit may hold
    // the new table, the message offers to compare: true when the user took it.
    bool tell(const link::TransferOutcome &outcome, bool offerCompare = false);

    Program &m_program;
    const Mode m_mode;
    std::optional<link::CentralComparison> m_comparison;
    std::unique_ptr<link::CentralLink> m_link;
    // What the link has put on the OK button and the progress label; the texts set on every
    // activation must not wipe them out.
    QString m_sendCaption;
    QString m_progressText;
    bool m_projectReceived = false;

    QGroupBox *m_fraCom = nullptr;
    QComboBox *m_cboPort = nullptr;
    QToolButton *m_cmdPortDevice = nullptr;
    QComboBox *m_cboBaudrate = nullptr;
    QCheckBox *m_chkModem = nullptr;
    QCheckBox *m_chkTimeSet = nullptr;
    QCheckBox *m_chkVerify = nullptr;
    QGroupBox *m_fraModem = nullptr;
    QLabel *m_lblModem = nullptr;
    QComboBox *m_cboModem = nullptr;
    QLabel *m_lblInitString = nullptr;
    QLineEdit *m_txtInitString = nullptr;
    QLabel *m_lblTelNr = nullptr;
    QLineEdit *m_txtTelNr = nullptr;
    QCheckBox *m_chkCallBack = nullptr;
    QLabel *m_lblCallBack = nullptr;
    QLineEdit *m_txtCallBack = nullptr;
    QPushButton *m_cmdPrgModem = nullptr;
    QLabel *m_lblDirection = nullptr;
    QLabel *m_lblProgress = nullptr;
    QProgressBar *m_panProgress = nullptr;
    QPushButton *m_cmdRcv = nullptr;
    QPushButton *m_cmdSendOK = nullptr;
    QPushButton *m_cmdSendCancel = nullptr;
};

} // namespace quintara::ui
