#pragma once

#include "book/SiteBook.h"

#include <QStringList>

namespace quintara::ui {

// What differs between two records of one site, field by field: "Customer: “A” here, “B” in
// the book". Empty when they agree. Tells a user whose save was refused what the other saved.
QStringList SiteRecordDifferences(const book::Site &mine, const book::Site &theirs);

} // namespace quintara::ui
