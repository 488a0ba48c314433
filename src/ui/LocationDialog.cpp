#include "ui/LocationDialog.h"

#include "ui/Mnemonics.h"
#include "ui/PlanDialogParts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quintara::ui {

LocationDialog::LocationDialog(const std::optional<plan::Location> &current, QWidget *parent)
    : QDialog(parent), m_location(current)
{
    setObjectName(QStringLiteral("LocationDialog"));
    setWindowTitle(QStringLiteral("Quintara - ") + tr("Location"));
    auto *column = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("Where the house stands, for sunrise and sunset in this "
                                "project: decimal degrees, north and east positive."),
                             this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto *fields = new QFormLayout;
    m_latitude = new QLineEdit(this);
    m_latitude->setObjectName(QStringLiteral("txtLatitude"));
    m_longitude = new QLineEdit(this);
    m_longitude->setObjectName(QStringLiteral("txtLongitude"));
    if (current) {
        const QStringList parts = current->toString().split(u',');
        m_latitude->setText(parts.value(0));
        m_longitude->setText(parts.value(1));
    }
    m_latitude->setPlaceholderText(QStringLiteral("52.37"));
    m_longitude->setPlaceholderText(QStringLiteral("4.89"));
    fields->addRow(tr("L&atitude:"), m_latitude);
    fields->addRow(tr("L&ongitude:"), m_longitude);
    column->addLayout(fields);
    for (QLineEdit *edit : {m_latitude, m_longitude})
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { splitPair(edit); });

    m_refusal = MakeRefusalLabel(this);
    m_refusal->hide();
    column->addWidget(m_refusal);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *none = buttons->addButton(tr("&None"), QDialogButtonBox::ResetRole);
    none->setObjectName(QStringLiteral("cmdNone"));
    none->setToolTip(tr("No location: no sun in the week, the agenda or the retime"));
    connect(none, &QPushButton::clicked, this, [this] {
        m_location.reset();
        QDialog::accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &LocationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    // Room for the wrapped texts: a word-wrapped label asks for too little height otherwise.
    setMinimumWidth(380);
    AssignMnemonics(*this);
}

void LocationDialog::splitPair(QLineEdit *edited)
{
    // "52,37" is a decimal comma, not a pair: a pair has a point in it.
    const QString text = edited->text();
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0 || !text.contains(u'.') || text.mid(comma + 1).trimmed().isEmpty())
        return;
    m_latitude->setText(text.left(comma).trimmed());
    m_longitude->setText(text.mid(comma + 1).trimmed());
    m_longitude->setFocus();
    m_longitude->end(false);
}

void LocationDialog::accept()
{
    const QString latitude = m_latitude->text().trimmed();
    const QString longitude = m_longitude->text().trimmed();
    if (latitude.isEmpty() && longitude.isEmpty()) {
        m_location.reset();
        QDialog::accept();
        return;
    }
    const plan::LocationOutcome outcome =
        plan::Location::parse(QString(latitude + u',' + longitude));
    if (const auto *refusal = std::get_if<plan::LocationRefusal>(&outcome)) {
        m_refusal->setText(refusal->text);
        m_refusal->show();
        (refusal->reason == plan::LocationRefused::Longitude ? m_longitude : m_latitude)
            ->setFocus();
        return;
    }
    m_location = std::get<plan::Location>(outcome);
    QDialog::accept();
}

} // namespace quintara::ui
