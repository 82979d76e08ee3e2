#include "support/ClientDocuments.h"

#include <QtEndian>

#include "messaging/VTMessageHeader.h"
#include "support/FuzzInput.h"

namespace ClientDocuments {

WireFrames wireFrames(QByteArrayView stream) {
    WireFrames result;
    qsizetype offset = 0;
    while (stream.size() - offset >= VTMessageHeader::kSize) {
        const auto* bytes = reinterpret_cast<const uchar*>(stream.data() + offset);
        const auto msgID = qFromBigEndian<qint16>(bytes);
        const auto length = qFromBigEndian<qint32>(bytes + 2);
        if (length < 0 || length > VTMessageHeader::kMaximumPayloadLength) {
            result.refused = true;
            return result;
        }
        const qsizetype start = offset + VTMessageHeader::kSize;
        if (stream.size() - start < length) {
            result.headerPending = true;
            return result;
        }
        result.frames.push_back({msgID, stream.sliced(start, length).toByteArray()});
        offset = start + length;
    }
    return result;
}

std::vector<Document> documents(FuzzInput& input) {
    std::vector<Document> result;
    while (!input.empty()) {
        const std::string_view piece = input.takeUntil('\0');
        if (piece.empty()) {
            continue;
        }
        result.push_back({piece.front() == 'a',
                          QByteArray(piece.data() + 1, static_cast<qsizetype>(piece.size() - 1))});
    }
    return result;
}

}  // namespace ClientDocuments
