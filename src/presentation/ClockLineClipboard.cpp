#include "presentation/ClockLineClipboard.h"

#include "clock/ClockTable.h"
#include "presentation/ClockLineListModel.h"
#include "project/ByteReader.h"
#include "settings/Strings.h"
#include "settings/TextIds.h"

#include <QMimeData>

namespace quintara::ui {

namespace {

constexpr char Magic[] = "QCL";
constexpr qsizetype MagicSize = 3;

ClockLinesRead Refused(ClockLinesStatus status)
{
    return {status, {}};
}

} // namespace

QByteArray ClockLinesImage(const QList<clock::ClockLine> &lines)
{
    const auto count = std::min<qsizetype>(lines.size(), clock::ClockLineCount);
    QByteArray image;
    image.reserve(ClockLinesHeaderSize + count * clock::ClockLine::Size);
    image.append(Magic, MagicSize);
    image.append(char(ClockLinesVersion));
    image.append(char(count));
    for (qsizetype i = 0; i < count; ++i) {
        for (const quint8 byte : lines[i].toBytes())
            image.append(char(byte));
    }
    return image;
}

ClockLinesRead ReadClockLinesImage(QByteArrayView image)
{
    project::ByteReader in(image);
    const auto magic = in.bytes(MagicSize);
    if (!magic || *magic != QByteArrayView(Magic, MagicSize))
        return Refused(ClockLinesStatus::NotClockLines);
    const auto version = in.u8();
    if (!version || *version != ClockLinesVersion)
        return Refused(version && *version > ClockLinesVersion ? ClockLinesStatus::NewerVersion
                                                               : ClockLinesStatus::NotClockLines);
    const auto count = in.u8();
    if (!count)
        return Refused(ClockLinesStatus::WrongLength);
    if (*count == 0 || *count > clock::ClockLineCount)
        return Refused(ClockLinesStatus::BadCount);
    if (in.remaining() != qsizetype(*count) * clock::ClockLine::Size)
        return Refused(ClockLinesStatus::WrongLength);

    ClockLinesRead read{ClockLinesStatus::Ok, {}};
    for (int i = 0; i < *count; ++i) {
        clock::ClockLine::Bytes bytes{};
        for (quint8 &byte : bytes)
            in.read(byte);
        const clock::ClockLine line = clock::ClockLine::fromBytes(bytes);
        if (!line.inUse())
            return Refused(ClockLinesStatus::FreeRecord);
        read.lines.append(line);
    }
    return read;
}

std::unique_ptr<QMimeData> CopyClockLines(const ClockLineListModel &model, const QList<int> &lines)
{
    QList<clock::ClockLine> records;
    QStringList text;
    for (const int index : lines) {
        const clock::ClockLine *line = model.table().line(index);
        if (!line || !line->inUse())
            continue;
        records.append(*line);
        text.append(model.lineTexts(index).join(u'\t'));
    }
    auto mime = std::make_unique<QMimeData>();
    if (records.isEmpty())
        return mime;
    mime->setText(text.join(u'\n') + u'\n');
    mime->setData(QLatin1String(ClockLinesMimeType), ClockLinesImage(records));
    return mime;
}

ClockLinesRead PasteClockLines(const QMimeData &mime)
{
    if (!mime.hasFormat(QLatin1String(ClockLinesMimeType)))
        return Refused(ClockLinesStatus::NoClockLines);
    return ReadClockLinesImage(mime.data(QLatin1String(ClockLinesMimeType)));
}

QString PasteRefusalText(ClockLinesStatus status, const settings::Strings &strings)
{
    switch (status) {
    case ClockLinesStatus::Ok:
    case ClockLinesStatus::NoClockLines:
        return {};
    case ClockLinesStatus::NewerVersion:
        return strings.GetResString(settings::TextId::Clipboard::LaterVersion);
    default:
        return strings.GetResString(settings::TextId::Clipboard::Damaged);
    }
}

QString NoRoomText(int lines, int freeLines, const settings::Strings &strings)
{
    return strings.GetResString(settings::TextId::Clipboard::NotEnoughLines)
        .arg(lines)
        .arg(freeLines);
}

} // namespace quintara::ui
