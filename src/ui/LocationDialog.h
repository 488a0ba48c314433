#pragma once

#include "plan/Sun.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

namespace quintara::ui {

// Where the house stands: latitude and longitude in decimal degrees (a pair such as
// "52.37,4.89" pasted into either field is split over both), or none. OK keeps the dialog open
// while the numbers are no location, and says why.
class LocationDialog : public QDialog {
    Q_OBJECT
public:
    explicit LocationDialog(const std::optional<plan::Location> &current,
                            QWidget *parent = nullptr);

    // What the user chose; nothing when "None" cleared it or both fields were left empty.
    const std::optional<plan::Location> &location() const { return m_location; }

    void accept() override;

private:
    void splitPair(QLineEdit *edited);

    QLineEdit *m_latitude = nullptr;
    QLineEdit *m_longitude = nullptr;
    QLabel *m_refusal = nullptr;
    std::optional<plan::Location> m_location;
};

} // namespace quintara::ui
