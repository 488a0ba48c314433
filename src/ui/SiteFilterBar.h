#pragma once

#include "book/SiteBook.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;

namespace quintara::ui {

// The conditions that narrow the site list beyond the search text: a tag, a model, not
// verified since a day, health problems. Every change says so at once.
class SiteFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit SiteFilterBar(QWidget *parent = nullptr);

    // The tags and models to choose from: those the sites have. A choice no site has any more
    // is kept, so that the list doesn't silently widen.
    void setChoices(const std::vector<book::SiteSummary> &sites);
    // The day "not verified since" offers first.
    void setDay(const QDate &day);

    // The conditions chosen; the text is left to the search field.
    book::SiteFilter filter() const;
    // True when any condition is chosen.
    bool narrows() const;

    QComboBox *tagBox() const { return m_tag; }
    QComboBox *modelBox() const { return m_model; }
    QCheckBox *notVerifiedBox() const { return m_notVerified; }
    QDateEdit *sinceField() const { return m_since; }
    QCheckBox *problemsBox() const { return m_problems; }

signals:
    void changed();

private:
    QComboBox *m_tag;
    QComboBox *m_model;
    QCheckBox *m_notVerified;
    QDateEdit *m_since;
    QCheckBox *m_problems;
};

} // namespace quintara::ui
