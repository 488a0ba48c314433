#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace quintara::cli {

// The machine form: one JSON document on one line.
inline void WriteJson(QTextStream &out, const QJsonObject &object)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

} // namespace quintara::cli
