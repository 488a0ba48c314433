#include "ui/FrmCom.h"

#include "book/LinkWork.h"

#include "link/LinkTimings.h"
#include "link/Transfer.h"
#include "link/Verify.h"
#include "settings/ProfileFile.h"
#include "ui/FormTranslation.h"
#include "ui/Mnemonics.h"
#include "ui/Program.h"
#include "ui/WaitPointer.h"
#include "presentation/ReceivedProject.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

constexpr int RetryCaptionId = 38;
constexpr int CreatingTablesId = 670;
constexpr int ReplaceProjectQuestionId = 2103;
constexpr int CompareOfferId = 2384;
// The heading saying which way the table goes, and what "receive everything" brings.
constexpr int DirectionSendId = 2428;
constexpr int DirectionReceiveId = 2429;
constexpr int DirectionCompareId = 2430;
constexpr int EverythingTipId = 2431;

template <typename Widget> Widget *Named(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

const QString FrmCom::VerifyKey = QStringLiteral("VerifyAfterSend");

FrmCom::Outcome FrmCom::Run(Program &program, Mode mode, link::SerialLine &line, QWidget *parent,
                            link::TrafficTrace *trace)
{
    FrmCom dialog(program, mode, line, parent, trace);
    if (dialog.exec() != QDialog::Accepted)
        return Outcome::Cancelled;
    return dialog.projectReceived() ? Outcome::ProjectReceived : Outcome::ClockTableDone;
}

FrmCom::FrmCom(Program &program, Mode mode, link::SerialLine &line, QWidget *parent,
               link::TrafficTrace *trace)
    : QDialog(parent), m_program(program), m_mode(mode),
      m_link(std::make_unique<link::CentralLink>(line, program.pump, program.strings))
{
    m_link->setTrace(trace);
    setObjectName(QStringLiteral("FrmCom"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_link->observer.progress = [this](int percent, const QString &label) {
        showProgress(percent, label);
    };
    m_link->observer.sendCaption = [this](const QString &caption) {
        m_sendCaption = caption;
        showSendCaption();
    };
    m_link->observer.beep = [this] { m_program.prompter.beep(); };

    buildForm();
    translate();
    loadValues();

    connect(m_cboPort, &QComboBox::activated, this, &FrmCom::portChosen);
    connect(m_cmdPortDevice, &QToolButton::clicked, this, &FrmCom::editPortDevice);
    connect(m_cboBaudrate, &QComboBox::activated, this, &FrmCom::baudRateChosen);
    connect(m_cboModem, &QComboBox::activated, this, &FrmCom::modemTypeChosen);
    connect(m_chkModem, &QCheckBox::toggled, this, &FrmCom::modemClicked);
    connect(m_chkCallBack, &QCheckBox::toggled, this, &FrmCom::callBackClicked);
    connect(m_cmdSendOK, &QPushButton::clicked, this, &FrmCom::sendOK);
    connect(m_cmdSendCancel, &QPushButton::clicked, this, &FrmCom::reject);
    connect(m_cmdRcv, &QPushButton::clicked, this, &FrmCom::receiveEverything);
    connect(m_cmdPrgModem, &QPushButton::clicked, this, &FrmCom::programModem);

    adjustSize();
    setFixedSize(sizeHint());
    CentreForm(*this);
}

FrmCom::~FrmCom() = default;

void FrmCom::buildModemGroup()
{
    m_fraModem = Named<QGroupBox>(this, "FraModem");
    auto *modem = new QGridLayout(m_fraModem);
    m_lblModem = Named<QLabel>(m_fraModem, "LblModem");
    m_cboModem = Named<QComboBox>(m_fraModem, "CboModem");
    m_lblInitString = Named<QLabel>(m_fraModem, "LblInitString");
    m_txtInitString = Named<QLineEdit>(m_fraModem, "TxtInitString");
    m_lblTelNr = Named<QLabel>(m_fraModem, "LblTelNr");
    m_txtTelNr = Named<QLineEdit>(m_fraModem, "TxttelNr");
    m_chkCallBack = Named<QCheckBox>(m_fraModem, "ChkCallBack");
    m_lblCallBack = Named<QLabel>(m_fraModem, "LblCallBack");
    m_txtCallBack = Named<QLineEdit>(m_fraModem, "TxtCallBack");
    m_cmdPrgModem = Named<QPushButton>(m_fraModem, "CmdPrgModem");
    // The modem record holds 50 characters of each.
    for (QLineEdit *edit : {m_txtInitString, m_txtTelNr, m_txtCallBack}) {
        edit->setMaxLength(project::Name50::width);
        edit->setMinimumWidth(200);
    }
    m_lblModem->setBuddy(m_cboModem);
    m_lblInitString->setBuddy(m_txtInitString);
    m_lblTelNr->setBuddy(m_txtTelNr);
    m_lblCallBack->setBuddy(m_txtCallBack);
    modem->addWidget(m_lblModem, 0, 0);
    modem->addWidget(m_cboModem, 0, 1);
    modem->addWidget(m_lblInitString, 1, 0);
    modem->addWidget(m_txtInitString, 1, 1);
    modem->addWidget(m_lblTelNr, 2, 0);
    modem->addWidget(m_txtTelNr, 2, 1);
    modem->addWidget(m_chkCallBack, 3, 0, 1, 2);
    modem->addWidget(m_lblCallBack, 4, 0);
    modem->addWidget(m_txtCallBack, 4, 1);
    modem->addWidget(m_cmdPrgModem, 5, 0, 1, 2);
}

void FrmCom::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    // Which way the table goes, before anything is chosen.
    m_lblDirection = Named<QLabel>(this, "LblDirection");
    QFont heading = m_lblDirection->font();
    heading.setBold(true);
    m_lblDirection->setFont(heading);
    m_lblDirection->setWordWrap(true);
    layout->addWidget(m_lblDirection);

    auto *top = new QHBoxLayout;
    top->setSpacing(12);
    layout->addLayout(top);

    auto *left = new QVBoxLayout;
    top->addLayout(left);
    m_fraCom = Named<QGroupBox>(this, "FraCom");
    auto *com = new QGridLayout(m_fraCom);
    m_cboPort = Named<QComboBox>(m_fraCom, "cboPort");
    // A network address is long: the list grows with it rather than cut it off.
    m_cboPort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_cmdPortDevice = Named<QToolButton>(m_fraCom, "cmdPortDevice");
    m_cmdPortDevice->setText(QStringLiteral("..."));
    m_cmdPortDevice->setToolTip(tr("What the chosen port reaches: a serial device, or a serial "
                                   "port server on the network"));
    m_cmdPortDevice->setAccessibleName(tr("Device or address of the port"));
    m_cboBaudrate = Named<QComboBox>(m_fraCom, "cboBaudrate");
    m_chkModem = Named<QCheckBox>(m_fraCom, "ChkModem");
    com->addWidget(m_cboPort, 0, 0);
    com->addWidget(m_cmdPortDevice, 0, 1);
    com->addWidget(m_cboBaudrate, 0, 2);
    com->addWidget(m_chkModem, 1, 0, 1, 3);
    left->addWidget(m_fraCom);
    m_chkTimeSet = Named<QCheckBox>(this, "ChkTimeSet");
    left->addWidget(m_chkTimeSet);
    m_chkVerify = Named<QCheckBox>(this, "ChkVerify");
    left->addWidget(m_chkVerify);
    left->addStretch(1);

    buildModemGroup();
    top->addWidget(m_fraModem, 1);

    auto *line1 = Named<QFrame>(this, "Line1");
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line1);

    m_lblProgress = Named<QLabel>(this, "lblProgress");
    // Room for the two lines of a verification's message; progress takes one.
    m_lblProgress->setWordWrap(true);
    m_lblProgress->setMinimumHeight(2 * m_lblProgress->fontMetrics().lineSpacing());
    m_lblProgress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_lblProgress);
    m_panProgress = Named<QProgressBar>(this, "PanProgress");
    m_panProgress->setRange(0, 100);
    m_panProgress->setValue(0);
    // The label above says it in words.
    m_panProgress->setTextVisible(false);
    layout->addWidget(m_panProgress);

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    m_cmdRcv = Named<QPushButton>(this, "CmdRcv");
    m_cmdSendOK = Named<QPushButton>(this, "cmdSendOK");
    m_cmdSendCancel = Named<QPushButton>(this, "cmdSendCancel");
    for (QPushButton *button : {m_cmdRcv, m_cmdSendOK, m_cmdSendCancel})
        button->setMinimumWidth(100);
    buttons->addWidget(m_cmdRcv);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdSendOK);
    buttons->addWidget(m_cmdSendCancel);
    m_cmdSendOK->setDefault(true);
}

void FrmCom::translate()
{
    TranslateForm(*this, m_program.strings);
    const int direction = m_mode == Mode::Transmit  ? DirectionSendId
                          : m_mode == Mode::Receive ? DirectionReceiveId
                                                    : DirectionCompareId;
    m_lblDirection->setText(m_program.strings.GetResString(direction));
    m_cmdRcv->setToolTip(m_program.strings.GetResString(EverythingTipId));
    if (!m_sendCaption.isEmpty())
        showSendCaption();
    if (!m_progressText.isEmpty())
        m_lblProgress->setText(m_progressText);
}

void FrmCom::showSendCaption()
{
    m_cmdSendOK->setText(m_sendCaption);
    AssignMnemonics(*this); // the new caption wants a letter too
}

bool FrmCom::busy() const
{
    return !m_cmdSendOK->isEnabled() || m_link->Busy();
}

void FrmCom::prepareLink()
{
    link::LinkSetup &setup = m_link->setup;
    setup.portNumber = m_program.settings.comPort;
    setup.baudRate = m_program.settings.baudRateInUse;
    setup.connectedWithModem = m_chkModem->isChecked();
    setup.callBackNecessary = m_chkCallBack->isChecked();
    setup.initString = m_txtInitString->text();
    setup.telephoneNumber = m_txtTelNr->text();
    setup.handshakeKey = link::HandshakeKeyFromSettings(m_program.profile);
    setup.modelIndex = m_program.project.ModelIndex;
}

void FrmCom::setIdle(bool idle)
{
    // Every button that starts something on the port is locked while the port is in use, so
    // that no second transfer can start inside the waits of the first.
    m_cmdSendOK->setEnabled(idle);
    m_cmdRcv->setEnabled(idle);
    m_fraCom->setEnabled(idle);
    m_fraModem->setEnabled(idle);
    if (!idle)
        m_cmdSendCancel->setDefault(true);
}

void FrmCom::showProgress(int percent, const QString &label)
{
    m_panProgress->setValue(percent);
    m_lblProgress->setText(label);
    m_progressText = label;
}

void FrmCom::drive(link::CentralLink &link)
{
    while (link.Busy()) {
        m_program.pump.processEvents(link.msUntilNextLook());
        link.advance();
    }
}

bool FrmCom::tell(const link::TransferOutcome &outcome, bool offerCompare)
{
    for (int i = 0; i < outcome.beeps; ++i) {
        m_program.prompter.beep();
        const qint64 until = m_program.pump.msecs() + link::Timing::BeepPauseMs;
        while (m_program.pump.msecs() < until)
            m_program.pump.processEvents(static_cast<int>(until - m_program.pump.msecs()));
    }
    bool taken = false;
    for (const platform::Notice &notice : outcome.notices) {
        const platform::Buttons buttons =
            offerCompare ? platform::Buttons::YesNo : platform::Buttons::Ok;
        if (!offerCompare) {
            m_program.prompter.show(notice.text, notice.title, buttons, notice.icon);
            continue;
        }
        taken = m_program.prompter.show(notice.text + QStringLiteral("\n\n") +
                                            m_program.strings.GetResString(CompareOfferId),
                                        notice.title, buttons, notice.icon,
                                        platform::Answer::Yes) == platform::Answer::Yes;
    }
    return taken;
}

void FrmCom::prepareTransfer()
{
    m_link->ShowProgressText(CreatingTablesId);
    {
        const WaitPointer wait;
        m_program.pump.processEvents();
    }
    prepareLink();
    if (!m_program.tableSet)
        m_program.tableSet = std::make_unique<tables::TableSet>();
}

void FrmCom::sendOK()
{
    if (busy())
        return;
    storeDialog();
    setIdle(false);
    prepareTransfer();

    const link::Drive drive = [this](link::CentralLink &link) { this->drive(link); };
    bool done = false;
    if (m_mode == Mode::Compare) {
        done = compareWithCentral();
    } else if (m_mode == Mode::Receive) {
        const link::TransferOutcome outcome =
            link::ReceiveClockTable(*m_link, drive, *m_program.tableSet, m_program.clockTable,
                                    m_program.project, m_program.clock);
        // Kept in the book before anything else happens: what the unit held.
        if (outcome.ok() && tableTransferEnded)
            tableTransferEnded({book::VersionEvent::Received, 0, {}});
        tell(outcome);
        done = outcome.ok();
    } else if (m_chkVerify->isChecked()) {
        done = sendAndVerify();
    } else {
        const link::TransferOutcome outcome = link::SendClockTable(
            *m_link, drive, *m_program.tableSet, m_program.clockTable, m_program.project,
            m_program.clock, m_program.settings.timeSet != 0);
        if (tableTransferEnded)
            tableTransferEnded({book::VersionEvent::Sent, outcome.status, {}});
        done = outcome.ok() || compareAfterFailedSend(outcome);
    }
    if (done) {
        accept();
        return;
    }
    setIdle(true);
    m_cmdSendOK->setDefault(true);
    m_cmdSendOK->setFocus();
}

bool FrmCom::compareWithCentral()
{
    m_comparison = link::CompareWithCentral(
        *m_link, [this](link::CentralLink &link) { drive(link); }, *m_program.tableSet,
        m_program.clockTable, m_program.project, m_program.clock);
    if (!m_comparison)
        tell(m_link->outcome());
    return m_comparison.has_value();
}

bool FrmCom::compareAfterFailedSend(const link::TransferOutcome &outcome)
{
    // A send that failed after the unit may have taken the new table offers to look.
    if (!tell(outcome, outcome.unitMayHoldNew))
        return false;
    m_link->appendToTrace = true;
    return compareWithCentral();
}

bool FrmCom::sendAndVerify()
{
    const link::VerifyOutcome outcome = link::SendAndVerifyClockTable(
        *m_link, [this](link::CentralLink &link) { drive(link); }, *m_program.tableSet,
        m_program.clockTable, m_program.project, m_program.clock,
        m_program.settings.timeSet != 0);
    if (tableTransferEnded) {
        TableTransfer transfer{book::VersionEvent::Sent, m_link->outcome().status, {}};
        if (outcome.verified()) {
            transfer.event = book::VersionEvent::Verified;
        } else if (outcome.result == link::VerifyOutcome::Result::Different) {
            transfer.event = book::VersionEvent::VerifyFailed;
            transfer.detail = book::LineNumbers(outcome.differences.lines);
        }
        tableTransferEnded(transfer);
    }
    if (outcome.result == link::VerifyOutcome::Result::SendFailed)
        return compareAfterFailedSend(m_link->outcome());
    if (outcome.result == link::VerifyOutcome::Result::ReadBackFailed)
        tell(m_link->outcome());
    if (outcome.verified()) {
        showProgress(100, outcome.message);
        m_program.prompter.show(outcome.message, platform::ProgramTitle, platform::Buttons::Ok,
                                platform::Icon::Information);
        return true;
    }
    if (outcome.message.isEmpty())
        return false;
    // The send went through but is not known to be right: the message stays on the dialog,
    // and sending again is the remedy.
    showProgress(0, outcome.message);
    m_sendCaption = m_program.strings.GetResString(RetryCaptionId);
    showSendCaption();
    m_program.prompter.show(outcome.message, platform::ProgramTitle, platform::Buttons::Ok,
                            platform::Icon::Critical);
    return false;
}

void FrmCom::receiveEverything()
{
    if (busy())
        return;
    // The unit keeps no names: what the project file gave is lost unless the user says so.
    if (m_program.prompter.show(m_program.strings.GetResString(ReplaceProjectQuestionId),
                                platform::ProgramTitle, platform::Buttons::YesNo,
                                platform::Icon::Question,
                                platform::Answer::No) != platform::Answer::Yes)
        return;
    setIdle(false);
    m_link->ClearStop();
    prepareTransfer();

    const auto previous = std::make_unique<project::ProjectModel>(m_program.project);
    const link::TransferOutcome outcome = link::ReceiveEverything(
        *m_link, [this](link::CentralLink &link) { drive(link); }, *m_program.tableSet,
        m_program.project, m_program.settings.baudRateInUse);
    tell(outcome);
    if (outcome.ok()) {
        NameReceivedFunctions(m_program.project, *previous, m_program.clockTable, m_program.names);
        // The received configuration holds no modem settings; keep the ones that reached it.
        storeDialog();
        m_projectReceived = true;
        m_program.pump.processEvents();
        accept();
        return;
    }
    setIdle(true);
    m_cmdRcv->setDefault(true);
    m_cmdRcv->setFocus();
}

void FrmCom::programModem()
{
    if (busy())
        return;
    const QString callBack = m_txtCallBack->text().trimmed();
    m_program.project.Modem.CallBackNumber = callBack;
    prepareLink();
    setIdle(false);
    tell(link::ProgramModem(
        *m_link, [this](link::CentralLink &link) { drive(link); }, m_chkCallBack->isChecked(),
        callBack));
    setIdle(true);
    m_cmdSendOK->setDefault(true);
}

void FrmCom::reject()
{
    if (busy()) {
        m_link->RequestStop();
        return;
    }
    QDialog::reject();
}

void FrmCom::closeEvent(QCloseEvent *event)
{
    if (busy()) {
        m_link->RequestStop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FrmCom::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        translate();
    QDialog::changeEvent(event);
}

} // namespace quintara::ui
