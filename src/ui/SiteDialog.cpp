#include "ui/SiteDialog.h"

#include "plan/Sun.h"
#include "ui/Mnemonics.h"

#include "presentation/SiteRecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quintara::ui {

namespace {

constexpr int BaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400};

QStringList Tags(const QString &text)
{
    QStringList tags;
    for (const QString &tag : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (const QString trimmed = tag.trimmed(); !trimmed.isEmpty() && !tags.contains(trimmed))
            tags << trimmed;
    }
    return tags;
}

} // namespace

SiteDialog::SiteDialog(book::SiteBook &book, book::Site site, QWidget *parent)
    : QDialog(parent), m_book(book), m_site(std::move(site))
{
    setObjectName(QStringLiteral("SiteDialog"));
    setWindowTitle(tr("Site %1").arg(m_site.name));
    auto *column = new QVBoxLayout(this);
    auto *record = new QFormLayout;
    m_customer = new QLineEdit(this);
    m_address = new QLineEdit(this);
    m_phone = new QLineEdit(this);
    m_notes = new QPlainTextEdit(this);
    m_notes->setTabChangesFocus(true);
    m_tags = new QLineEdit(this);
    m_tags->setPlaceholderText(tr("comma-separated"));
    m_location = new QLineEdit(this);
    m_location->setObjectName(QStringLiteral("txtSiteLocation"));
    m_location->setPlaceholderText(tr("latitude,longitude, as 52.37,4.89"));
    m_location->setToolTip(tr("Where the house stands, for sunrise and sunset"));
    record->addRow(tr("C&ustomer:"), m_customer);
    record->addRow(tr("&Address:"), m_address);
    record->addRow(tr("P&hone:"), m_phone);
    record->addRow(tr("&Notes:"), m_notes);
    record->addRow(tr("&Tags:"), m_tags);
    record->addRow(tr("L&ocation:"), m_location);
    const QString model = m_site.model ? QString::number(*m_site.model) : tr("not known yet");
    record->addRow(tr("Model:"), new QLabel(model, this));
    column->addLayout(record);

    auto *way = new QGroupBox(tr("How the central unit is reached"), this);
    auto *connection = new QFormLayout(way);
    m_port = new QComboBox(way);
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    for (int number = 1; number <= 8; ++number)
        m_port->addItem(tr("COM%1").arg(number), QString::number(number));
    m_port->setToolTip(tr("A COM port, a device such as /dev/ttyUSB0, or a serial port server "
                          "such as tcp://192.168.1.20:4001 or rfc2217://192.168.1.20:2217"));
    m_baud = new QComboBox(way);
    m_baud->addItem(tr("The project's"), 0);
    for (const int rate : BaudRates)
        m_baud->addItem(QString::number(rate), rate);
    m_modem = new QCheckBox(tr("Through a &modem"), way);
    m_telephone = new QLineEdit(way);
    m_init = new QLineEdit(way);
    m_callBack = new QCheckBox(tr("The unit &calls back"), way);
    connection->addRow(tr("&Port:"), m_port);
    connection->addRow(tr("&Baud rate:"), m_baud);
    connection->addRow(m_modem);
    connection->addRow(tr("Te&lephone number:"), m_telephone);
    connection->addRow(tr("&Init string:"), m_init);
    connection->addRow(m_callBack);
    column->addWidget(way);
    const auto modemFields = [this](bool on) {
        for (QWidget *field : {static_cast<QWidget *>(m_telephone), static_cast<QWidget *>(m_init),
                               static_cast<QWidget *>(m_callBack)})
            field->setEnabled(on);
    };
    connect(m_modem, &QCheckBox::toggled, this, modemFields);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &SiteDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    showRecord(m_site);
    modemFields(m_site.connection.modem);
    // Room for an address on one line, at any scale.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    AssignMnemonics(*this);
}

void SiteDialog::showRecord(const book::Site &site)
{
    m_customer->setText(site.customer);
    m_address->setText(site.address);
    m_phone->setText(site.phone);
    m_notes->setPlainText(site.notes);
    m_tags->setText(site.tags.join(QStringLiteral(", ")));
    m_location->setText(site.location);
    const int listed = m_port->findData(site.connection.port);
    if (listed >= 0)
        m_port->setCurrentIndex(listed);
    else
        m_port->setCurrentText(site.connection.port);
    const int baud = m_baud->findData(site.connection.baudRate);
    if (baud < 0)
        m_baud->addItem(QString::number(site.connection.baudRate), site.connection.baudRate);
    m_baud->setCurrentIndex(baud >= 0 ? baud : m_baud->count() - 1);
    m_modem->setChecked(site.connection.modem);
    m_telephone->setText(site.connection.telephoneNumber);
    m_init->setText(site.connection.initString);
    m_callBack->setChecked(site.connection.callBack);
}

book::Site SiteDialog::edited() const
{
    book::Site site = m_site;
    site.customer = m_customer->text().trimmed();
    site.address = m_address->text().trimmed();
    site.phone = m_phone->text().trimmed();
    site.notes = m_notes->toPlainText();
    site.tags = Tags(m_tags->text());
    site.location = m_location->text().trimmed();
    // A listed COM port is kept as its number, so the settings' [Ports] map still applies.
    const QVariant listed = m_port->itemData(m_port->findText(m_port->currentText()));
    site.connection.port =
        listed.isValid() ? listed.toString() : m_port->currentText().trimmed();
    site.connection.baudRate = m_baud->currentData().toInt();
    site.connection.modem = m_modem->isChecked();
    site.connection.telephoneNumber = m_telephone->text().trimmed();
    site.connection.initString = m_init->text();
    site.connection.callBack = m_callBack->isChecked();
    return site;
}

void SiteDialog::accept()
{
    book::Site mine = edited();
    // The book keeps a valid location or none, in the one form every reader parses.
    if (!mine.location.isEmpty()) {
        const plan::LocationOutcome location = plan::Location::parse(mine.location);
        if (const auto *refusal = std::get_if<plan::LocationRefusal>(&location)) {
            QMessageBox::warning(this, windowTitle(), refusal->text);
            m_location->setFocus();
            return;
        }
        mine.location = std::get<plan::Location>(location).toString();
    }
    for (;;) {
        const book::BookOutcome saved = m_book.updateSite(mine);
        if (saved.ok()) {
            m_site = mine;
            QDialog::accept();
            return;
        }
        if (saved.status != book::BookStatus::Conflict) {
            for (const platform::Notice &notice : saved.notices)
                QMessageBox::warning(this, windowTitle(), notice.text);
            return;
        }
        const book::Fetched<book::Site> theirs = m_book.site(m_site.name);
        if (!theirs.ok()) {
            for (const platform::Notice &notice : theirs.notices)
                QMessageBox::warning(this, windowTitle(), notice.text);
            return;
        }
        switch (ask(SiteRecordDifferences(mine, theirs.value))) {
        case ConflictChoice::KeepMine:
            mine.revision = theirs.value.revision;
            continue;
        case ConflictChoice::TakeTheirs:
            m_site = theirs.value;
            showRecord(m_site);
            return;
        case ConflictChoice::GoBack:
            // The next save is weighed against what the other saved.
            m_site.revision = theirs.value.revision;
            return;
        }
    }
}

SiteDialog::ConflictChoice SiteDialog::ask(const QStringList &differences)
{
    if (askOnConflict)
        return askOnConflict(differences);
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    tr("Someone else saved the site %1 since you opened it.").arg(m_site.name),
                    QMessageBox::NoButton, this);
    box.setInformativeText(differences.isEmpty() ? tr("They saved the same as you.")
                                                 : differences.join(QLatin1Char('\n')));
    QPushButton *mine = box.addButton(tr("Save &mine over theirs"), QMessageBox::AcceptRole);
    QPushButton *theirs = box.addButton(tr("&Take theirs"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(theirs);
    box.exec();
    if (box.clickedButton() == mine)
        return ConflictChoice::KeepMine;
    if (box.clickedButton() == theirs)
        return ConflictChoice::TakeTheirs;
    return ConflictChoice::GoBack;
}

} // namespace quintara::ui
