#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

class FuzzInput;

// What a fuzz input means to the targets on the client's code.
namespace ClientDocuments {

// One frame of the wire layout.
struct Frame {
    qint16 msgID = 0;
    QByteArray payload;
    bool operator==(const Frame&) const = default;
};

// The frames a byte stream holds by the wire layout (a big-endian 16-bit ID and 32-bit length,
// then the payload), up to the first header that announces an impossible length (refused) or
// a frame that is not complete (headerPending, when its header is).
struct WireFrames {
    std::vector<Frame> frames;
    bool refused = false;
    bool headerPending = false;
};
WireFrames wireFrames(QByteArrayView stream);

// One of the service's documents: pieces of the input separated by NUL bytes, each starting
// with its kind ('a' for app-state, anything else for statistics).
struct Document {
    bool isAppState = false;
    QByteArray text;
};
std::vector<Document> documents(FuzzInput& input);

}  // namespace ClientDocuments
