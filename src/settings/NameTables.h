#pragma once

#include <QString>

#include <array>

namespace quintara::settings {

class Strings;

// The language-dependent names indexed by the project's type codes, filled once when the main
// window loads. Lookups outside a table give "" so a byte from a file can never index past one.
struct NameTables {
    std::array<QString, 68> FunctionTypeName;
    std::array<QString, 68> FunctionTypeCode;
    std::array<QString, 152> InterfaceTypeName;
    std::array<QString, 152> InterfaceTypeCode;
    std::array<QString, 6> RegimeName;
    std::array<QString, 2> NoActionName;
    std::array<QString, 84> LoadTypeName;
    // Padded on the right with blanks to exactly 50 characters, and used so.
    std::array<QString, 8> RepeatName;

    QString functionTypeName(int code) const { return at(FunctionTypeName, code); }
    QString functionTypeCode(int code) const { return at(FunctionTypeCode, code); }
    QString interfaceTypeName(int code) const { return at(InterfaceTypeName, code); }
    QString interfaceTypeCode(int code) const { return at(InterfaceTypeCode, code); }
    QString regimeName(int index) const { return at(RegimeName, index); }
    QString noActionName(int index) const { return at(NoActionName, index); }
    QString loadTypeName(int index) const { return at(LoadTypeName, index); }
    QString repeatName(int unit) const { return at(RepeatName, unit); }

private:
    template <std::size_t N>
    static QString at(const std::array<QString, N> &table, int index)
    {
        return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : QString();
    }
};

NameTables FillNameTables(const Strings &strings);

// The three-letter codes do not depend on the language.
QString FunctionTypeCode(int code);
QString InterfaceTypeCode(int code);

} // namespace quintara::settings
