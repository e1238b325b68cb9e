// The mail check's reply handling: a server's byte stream cut into lines as
// it arrives in pieces, each line judged as a reply, CAPA listings searched
// for STLS, and the mail server entry of the preferences parsed.
//
// Input: the first byte sets the size of the pieces the stream arrives in;
// the rest is the stream.

#include "fuzzcommon.h"

#include "platform/pop3client.h"

using namespace orv;
using namespace orv::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    initOnce();
    if (size < 1)
        return 0;
    const qsizetype piece = qsizetype(data[0] % 64) + 1;
    const QByteArrayView stream = bytesOf(data + 1, size - 1);

    Pop3LineReader reader;
    QList<QByteArray> capabilities;
    bool inCapa = false;
    qsizetype taken = 0;
    qsizetype lineEnds = 0;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        reader.append(stream.sliced(at, std::min(piece, stream.size() - at)));
        while (const std::optional<QByteArray> line = reader.next()) {
            ++lineEnds;
            FUZZ_CHECK(!line->contains('\n'));
            FUZZ_CHECK(line->size() <= Pop3LineReader::MaxLineLength);
            taken += line->size();
            const bool positive = IsPositiveReply(*line);
            if (const std::optional<int> count = ListMessageCount(*line)) {
                FUZZ_CHECK(positive);
                FUZZ_CHECK(*count >= 0);
            }
            if (inCapa) {
                if (*line == ".")
                    inCapa = false;
                else
                    capabilities.append(*line);
            } else if (positive) {
                inCapa = true;
            }
        }
        // Taking the lines after each piece keeps the reader at one line.
        FUZZ_CHECK(reader.pending() <= Pop3LineReader::MaxLineLength + 1);
        if (reader.overflowed())
            break;
    }
    // Nothing is lost: the lines, their ends and what is left make the stream
    // (a line end is LF, or CR LF whose CR the line gives up).
    if (!reader.overflowed()) {
        FUZZ_CHECK(taken + lineEnds + reader.pending() <= stream.size());
        FUZZ_CHECK(taken + 2 * lineEnds + reader.pending() >= stream.size());
    }
    static_cast<void>(CapaOffersStls(capabilities));

    const QString entry = QString::fromUtf8(stream.first(std::min<qsizetype>(stream.size(), 300)));
    const Pop3Endpoint endpoint = ParsePop3Server(entry);
    if (endpoint.valid()) {
        FUZZ_CHECK(!endpoint.host.isEmpty());
        FUZZ_CHECK(entry.contains(endpoint.host));
    }
    if (endpoint.port == kPop3sPort)
        FUZZ_CHECK(endpoint.implicitTls);
    return 0;
}
