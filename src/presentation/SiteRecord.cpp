#include "presentation/SiteRecord.h"

#include <QCoreApplication>

namespace quintara::ui {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("SiteRecord", text);
}

QString YesNo(bool value)
{
    return value ? Tr("yes") : Tr("no");
}

} // namespace

QStringList SiteRecordDifferences(const book::Site &mine, const book::Site &theirs)
{
    const auto model = [](const book::Site &site) {
        return site.model ? QString::number(*site.model) : QString();
    };
    const auto baud = [](const book::Site &site) {
        return site.connection.baudRate > 0 ? QString::number(site.connection.baudRate)
                                            : Tr("the project's");
    };
    const std::pair<const char *, std::pair<QString, QString>> fields[] = {
        {QT_TRANSLATE_NOOP("SiteRecord", "Customer"), {mine.customer, theirs.customer}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Address"), {mine.address, theirs.address}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Phone"), {mine.phone, theirs.phone}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Notes"), {mine.notes, theirs.notes}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Model"), {model(mine), model(theirs)}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Tags"),
         {mine.tags.join(QStringLiteral(", ")), theirs.tags.join(QStringLiteral(", "))}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Location"), {mine.location, theirs.location}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Port"),
         {mine.connection.port, theirs.connection.port}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Baud rate"), {baud(mine), baud(theirs)}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Modem"),
         {YesNo(mine.connection.modem), YesNo(theirs.connection.modem)}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Telephone number"),
         {mine.connection.telephoneNumber, theirs.connection.telephoneNumber}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Init string"),
         {mine.connection.initString, theirs.connection.initString}},
        {QT_TRANSLATE_NOOP("SiteRecord", "Call-back"),
         {YesNo(mine.connection.callBack), YesNo(theirs.connection.callBack)}},
    };
    QStringList differences;
    for (const auto &[name, values] : fields) {
        if (values.first != values.second)
            differences << Tr("%1: “%2” here, “%3” in the book")
                               .arg(Tr(name), values.first, values.second);
    }
    return differences;
}

} // namespace quintara::ui
