#include "ui/SiteFilterBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

#include <set>

namespace quintara::ui {

namespace {

// Replaces a combo box's choices after its first ("any"), keeping the one chosen.
void Refill(QComboBox *box, const QList<std::pair<QString, QVariant>> &choices)
{
    const QVariant chosen = box->currentData();
    const QString chosenText = box->currentText();
    const QSignalBlocker quiet(box);
    while (box->count() > 1)
        box->removeItem(1);
    for (const auto &[text, value] : choices)
        box->addItem(text, value);
    if (!chosen.isValid())
        return;
    int at = box->findData(chosen);
    if (at < 0) {
        box->addItem(chosenText, chosen);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
}

} // namespace

SiteFilterBar::SiteFilterBar(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *tagLabel = new QLabel(tr("&Tag:"), this);
    m_tag = new QComboBox(this);
    m_tag->setObjectName(QStringLiteral("cboTag"));
    m_tag->addItem(tr("any"));
    tagLabel->setBuddy(m_tag);
    auto *modelLabel = new QLabel(tr("&Model:"), this);
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("cboModel"));
    m_model->addItem(tr("any"));
    modelLabel->setBuddy(m_model);
    m_notVerified = new QCheckBox(tr("&Not verified since"), this);
    m_notVerified->setObjectName(QStringLiteral("chkNotVerified"));
    m_since = new QDateEdit(this);
    m_since->setObjectName(QStringLiteral("datSince"));
    m_since->setCalendarPopup(true);
    m_since->setEnabled(false);
    m_since->setAccessibleName(tr("Not verified since"));
    m_problems = new QCheckBox(tr("&Health problems"), this);
    m_problems->setObjectName(QStringLiteral("chkProblems"));
    for (QWidget *part : {static_cast<QWidget *>(tagLabel), static_cast<QWidget *>(m_tag),
                          static_cast<QWidget *>(modelLabel), static_cast<QWidget *>(m_model),
                          static_cast<QWidget *>(m_notVerified), static_cast<QWidget *>(m_since),
                          static_cast<QWidget *>(m_problems)})
        row->addWidget(part);
    row->addStretch(1);

    connect(m_tag, &QComboBox::currentIndexChanged, this, &SiteFilterBar::changed);
    connect(m_model, &QComboBox::currentIndexChanged, this, &SiteFilterBar::changed);
    connect(m_notVerified, &QCheckBox::toggled, this, [this](bool on) {
        m_since->setEnabled(on);
        emit changed();
    });
    connect(m_since, &QDateEdit::dateChanged, this, [this] {
        if (m_notVerified->isChecked())
            emit changed();
    });
    connect(m_problems, &QCheckBox::toggled, this, &SiteFilterBar::changed);
}

void SiteFilterBar::setChoices(const std::vector<book::SiteSummary> &sites)
{
    std::set<QString> tags;
    std::set<int> models;
    for (const book::SiteSummary &site : sites) {
        tags.insert(site.tags.begin(), site.tags.end());
        if (site.model)
            models.insert(*site.model);
    }
    QList<std::pair<QString, QVariant>> tagChoices;
    for (const QString &tag : tags)
        tagChoices.append({tag, tag});
    QList<std::pair<QString, QVariant>> modelChoices;
    for (const int model : models)
        modelChoices.append({tr("model %1").arg(model), model});
    Refill(m_tag, tagChoices);
    Refill(m_model, modelChoices);
}

void SiteFilterBar::setDay(const QDate &day)
{
    const QSignalBlocker quiet(m_since);
    m_since->setDate(day);
}

book::SiteFilter SiteFilterBar::filter() const
{
    book::SiteFilter filter;
    filter.tag = m_tag->currentData().toString();
    if (m_model->currentData().isValid())
        filter.model = m_model->currentData().toInt();
    if (m_notVerified->isChecked())
        filter.notVerifiedSince = m_since->date().startOfDay(Qt::UTC);
    filter.withProblems = m_problems->isChecked();
    return filter;
}

bool SiteFilterBar::narrows() const
{
    const book::SiteFilter chosen = filter();
    return !chosen.tag.isEmpty() || chosen.model || chosen.notVerifiedSince || chosen.withProblems;
}

} // namespace quintara::ui
