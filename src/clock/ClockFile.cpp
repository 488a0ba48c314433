#include "clock/ClockFile.h"

#include "clock/ClockTable.h"
#include "platform/Files.h"
#include "project/ByteReader.h"
#include "project/ProjectModel.h"
#include "settings/Strings.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <optional>

namespace quintara::clock {

namespace {

constexpr int ConversionWarningId = 957;
constexpr int ConversionConsequenceId = 958;

QString DescribeDeviceError(const QIODevice &device, const QString &fallback)
{
    const QString description = device.errorString();
    return description.isEmpty() || description == QLatin1String("Unknown error") ? fallback
                                                                                  : description;
}

ClockFileResult Failed(ClockFileStatus status, platform::Notice notice,
                       std::optional<int> model = std::nullopt)
{
    ClockFileResult result;
    result.status = status;
    result.tell(std::move(notice));
    result.model = model;
    return result;
}

ClockFileResult SystemError(QString description)
{
    return Failed(ClockFileStatus::SystemError,
                  platform::SystemFailureNotice(std::move(description)));
}

ClockFileResult WriteImage(ClockTable &table, QIODevice &device)
{
    QByteArray image = ClockFileImage(table);
    image[3] = 1; // what is saved is of the current version
    if (!device.isWritable())
        return SystemError(
            DescribeDeviceError(device, QStringLiteral("The file is not open for writing.")));
    if (!device.isSequential() && !device.seek(0))
        return SystemError(DescribeDeviceError(device, QStringLiteral("Cannot seek in the file.")));
    if (device.write(image) != image.size())
        return SystemError(DescribeDeviceError(device, QStringLiteral("Write error.")));
    table.ClockFileVersion = 1;
    return {};
}

// Reads up to a whole image from the device's start; nullopt when the device reports an error.
std::optional<QByteArray> ReadImage(QIODevice &device)
{
    if (!device.isSequential() && !device.seek(0))
        return std::nullopt;
    QByteArray image(ClockFileSize, '\0');
    qsizetype got = 0;
    while (got < ClockFileSize) {
        const qint64 n = device.read(image.data() + got, ClockFileSize - got);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    image.truncate(got);
    return image;
}

} // namespace

QByteArray ClockFileImage(const ClockTable &table)
{
    QByteArray image;
    image.reserve(ClockFileSize);
    image.append(ClockFileMagic, 3);
    image.append(static_cast<char>(table.ClockFileVersion));
    image.append(static_cast<char>(table.ModelIndex));
    for (const ClockLine &line : table.Lines) {
        for (const quint8 byte : line.toBytes())
            image.append(static_cast<char>(byte));
    }
    image.append(ClockFileMagic, 3);
    return image;
}

std::optional<platform::Message> ConversionQuestion(const ClockTable &table,
                                                    const settings::Strings &strings)
{
    if (table.ClockFileVersion == 1)
        return std::nullopt;
    const QString text = strings.GetResString(ConversionWarningId) + QStringLiteral("\n\r") +
                         strings.GetResString(ConversionConsequenceId);
    return platform::Message{text, platform::ProgramTitle, platform::Buttons::OkCancel,
                             platform::Icon::Exclamation, platform::Answer::Cancel};
}

ClockFileResult WriteClockFile(ClockTable &table, QIODevice &device)
{
    return WriteImage(table, device);
}

ClockFileResult WriteClockFile(ClockTable &table, const settings::Strings &strings)
{
    const QString path = table.ClockFileName;
    const auto failed = [&path](const QString &reason) {
        return SystemError(platform::FileFailure(path, reason));
    };

    // A longer file keeps what lies beyond the image, as the in-place writes of old did.
    QByteArray tail;
    switch (platform::KindOfPath(path)) {
    case platform::PathKind::Other:
        return failed(strings.GetResString(settings::TextId::File::NotARegularFile));
    case platform::PathKind::RegularFile:
    case platform::PathKind::LinkedFile: {
        QFile old;
        if (const std::optional<QString> reason =
                platform::OpenFile(old, path, QIODevice::ReadOnly))
            return failed(*reason);
        if (old.size() > ClockFileSize) {
            if (!old.seek(ClockFileSize))
                return failed(old.errorString());
            tail = old.readAll();
        }
        break;
    }
    case platform::PathKind::Missing:
        break;
    }

    QByteArray image = ClockFileImage(table);
    image[3] = 1; // what is saved is of the current version
    if (const auto failure = platform::WriteWholeFile(path, image + tail))
        return failed(settings::WriteFailureText(strings, *failure));
    table.ClockFileVersion = 1;
    return {};
}

ClockFileResult ReadClockImage(ClockTable &table, QByteArrayView image)
{
    ClearClockTable(table);

    // Bytes missing at the end read as zeros: the lines beyond a short file are free.
    QByteArray padded = image.first(std::min(image.size(), ClockFileSize)).toByteArray();
    padded.append(ClockFileSize - padded.size(), '\0');
    project::ByteReader reader(padded);

    if (reader.bytes(3) != QByteArray(ClockFileMagic))
        return Failed(ClockFileStatus::NotAClockFile,
                      platform::PlainNotice(QStringLiteral("NO QBN Clock file!")));
    table.ClockFileVersion = reader.u8().value_or(0);
    const int model = project::EffectiveModelIndex(reader.u8().value_or(0));
    ApplyModel(table, model);

    for (ClockLine &line : table.Lines) {
        ClockLine::Bytes bytes{};
        for (quint8 &byte : bytes)
            byte = reader.u8().value_or(0);
        line = ClockLine::fromBytes(bytes);
    }

    if (reader.bytes(3) != QByteArray(ClockFileMagic))
        return Failed(ClockFileStatus::Damaged,
                      platform::PlainNotice(QStringLiteral("Read error in CLOCK File")), model);
    ClockFileResult result;
    result.model = model;
    return result;
}

ClockFileResult ReadClockFile(ClockTable &table, QIODevice &device)
{
    const std::optional<QByteArray> image = device.isReadable() ? ReadImage(device) : std::nullopt;
    if (!image) {
        ClearClockTable(table);
        return SystemError(DescribeDeviceError(device, QStringLiteral("Read error.")));
    }
    return ReadClockImage(table, *image);
}

ClockFileResult ReadClockFile(ClockTable &table, const settings::Strings &strings)
{
    const QString &path = table.ClockFileName;
    // A FIFO or a device would block the read or never end it.
    if (platform::KindOfPath(path) == platform::PathKind::Other) {
        ClearClockTable(table);
        return SystemError(platform::FileFailure(
            path, strings.GetResString(settings::TextId::File::NotARegularFile)));
    }
    QFile file;
    if (const std::optional<QString> reason = platform::OpenFile(file, path, QIODevice::ReadOnly)) {
        ClearClockTable(table);
        return SystemError(platform::FileFailure(path, *reason));
    }
    ClockFileResult result = ReadClockFile(table, file);
    if (result.status == ClockFileStatus::SystemError)
        return SystemError(platform::FileFailure(path, result.notices.front().text));
    return result;
}

void ApplyModel(ClockTable &table, const project::ProjectModel &model)
{
    table.ModelIndex = static_cast<quint8>(model.ModelIndex);
    table.MaxClockLines =
        static_cast<qint16>(std::clamp(model.Limits.ClockLines, 0, ClockLineCount));
}

void ApplyModel(ClockTable &table, int modelIndex)
{
    const int effective = project::EffectiveModelIndex(modelIndex);
    table.ModelIndex = static_cast<quint8>(effective);
    table.MaxClockLines = static_cast<qint16>(
        std::clamp(project::LimitsOfModel(effective).ClockLines, 0, ClockLineCount));
}

} // namespace quintara::clock
