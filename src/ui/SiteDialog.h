#pragma once

#include "book/SiteBook.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace quintara::ui {

// A site's own record: who the customer is, where, and how its central unit is reached. Saved
// only when nobody else saved the site since it was read; otherwise the user sees what the other
// saved and keeps theirs or saves their own over it.
class SiteDialog : public QDialog {
    Q_OBJECT
public:
    SiteDialog(book::SiteBook &book, book::Site site, QWidget *parent = nullptr);

    // The record as the fields hold it.
    book::Site edited() const;
    // The record as the book has it after a save (or as it was read, before).
    const book::Site &site() const { return m_site; }

    void accept() override;

    // What the user chose when their save was refused; the window asks, a test answers.
    enum class ConflictChoice { KeepMine, TakeTheirs, GoBack };
    std::function<ConflictChoice(const QStringList &differences)> askOnConflict;

private:
    void showRecord(const book::Site &site);
    ConflictChoice ask(const QStringList &differences);

    book::SiteBook &m_book;
    book::Site m_site;
    QLineEdit *m_customer;
    QLineEdit *m_address;
    QLineEdit *m_phone;
    QPlainTextEdit *m_notes;
    QLineEdit *m_tags;
    QLineEdit *m_location;
    QComboBox *m_port;
    QComboBox *m_baud;
    QCheckBox *m_modem;
    QLineEdit *m_telephone;
    QLineEdit *m_init;
    QCheckBox *m_callBack;
};

} // namespace quintara::ui
