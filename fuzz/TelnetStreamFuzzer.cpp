// What a serial port server (or client) sends, whole and in pieces: the negotiation never grows
// without bound, never loops, and line data sent through a stream always comes back as it was.
#include "link/TelnetStream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using quintara::link::LineParameters;
    using quintara::link::TelnetStream;
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const LineParameters line = *LineParameters::parse(QStringLiteral("19200,n,8,1"));

    // Whole, then split at a point the input chooses: the same data and the same replies.
    TelnetStream whole(line);
    whole.opening();
    QByteArray wholeReply;
    const QByteArray wholeData = whole.receive(input, wholeReply);
    TelnetStream split(line);
    split.opening();
    QByteArray splitReply;
    const qsizetype cut = size ? qsizetype(data[0] % size) : 0;
    QByteArray splitData = split.receive(input.first(cut), splitReply);
    splitData += split.receive(input.sliced(cut), splitReply);
    if (wholeData != splitData || wholeReply != splitReply)
        std::abort();
    // Each command gets at most one answer of three bytes, and the line settings once.
    if (wholeData.size() > input.size() || wholeReply.size() > input.size() + 64)
        std::abort();

    // The simulator's side reads the same bytes from a client.
    TelnetStream server(line, TelnetStream::Role::Server);
    QByteArray serverReply = server.opening();
    server.receive(input, serverReply);
    if (serverReply.size() > 2 * input.size() + 64)
        std::abort();

    // The input as line data: it comes back as it was.
    TelnetStream out(line);
    TelnetStream in(line);
    QByteArray ignored;
    if (in.receive(out.send(input), ignored) != input.toByteArray())
        std::abort();
    return 0;
}
