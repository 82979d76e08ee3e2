// Frame assembly. The input is a byte stream and the sizes of the pieces it arrives in, as a
// socket hands them over: however it is cut, the reader must deliver exactly the frames of the
// wire layout (six-byte header, then the payload), in order, each header before its payload,
// and stop at a header announcing an impossible length. Every frame is then built into its
// message type by ID, as the handler does.
#include <QIODevice>
#include <exception>
#include <vector>

#include "messaging/VTFrameReader.h"
#include "messaging/VTMessageCatalogue.h"
#include "support/ClientDocuments.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/QtFuzzEnvironment.h"

namespace {

// A socket's read side: holds what has arrived so far and hands out no more.
class ArrivingBytes : public QIODevice {
  public:
    ArrivingBytes() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    void arrive(QByteArrayView bytes) { arrived_.append(bytes); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return arrived_.size() - position_ + QIODevice::bytesAvailable();
    }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 count = std::min(maxSize, arrived_.size() - position_);
        std::memcpy(data, arrived_.constData() + position_, static_cast<size_t>(count));
        position_ += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QByteArray arrived_;
    qint64 position_ = 0;
};

void buildMessage(const ClientDocuments::Frame& frame) {
    try {
        const auto message = VTMessageCatalogue::incomingMessage(frame.msgID, frame.payload);
        VT_FUZZ_CHECK(!message || message->messageID() == frame.msgID);
    } catch (const std::exception&) {
        // A message whose content is malformed is dropped by the dispatch guard.
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    std::vector<qsizetype> pieces(input.takeByte() % 16);
    for (qsizetype& piece : pieces) {
        piece = input.takeByte();
    }
    const std::string_view text = input.takeRest();
    const QByteArrayView stream(text.data(), static_cast<qsizetype>(text.size()));
    pieces.push_back(stream.size());  // the rest arrives in one piece

    ArrivingBytes socket;
    VTFrameReader reader;
    std::vector<ClientDocuments::Frame> delivered;
    VTMessageHeader announced;
    bool awaitingPayload = false;
    bool refused = false;
    qsizetype offset = 0;
    for (const qsizetype piece : pieces) {
        const qsizetype length = std::min(piece, stream.size() - offset);
        socket.arrive(stream.sliced(offset, length));
        offset += length;
        for (;;) {
            const VTFrameReader::Step step = reader.next(socket);
            VT_FUZZ_CHECK(step.kind != VTFrameReader::Step::Broken);
            if (step.kind == VTFrameReader::Step::NeedMore) {
                break;
            }
            if (step.kind == VTFrameReader::Step::HeaderRefused) {
                refused = true;
                break;
            }
            if (step.kind == VTFrameReader::Step::HeaderRead) {
                VT_FUZZ_CHECK(!awaitingPayload);
                announced = step.header;
                awaitingPayload = true;
                continue;
            }
            VT_FUZZ_CHECK(awaitingPayload && announced.msgID() == step.header.msgID());
            VT_FUZZ_CHECK(step.payload.size() == announced.msgLength());
            awaitingPayload = false;
            delivered.push_back({step.header.msgID(), step.payload});
        }
        if (refused) {
            break;
        }
    }

    const ClientDocuments::WireFrames expected = ClientDocuments::wireFrames(stream);
    VT_FUZZ_CHECK(delivered == expected.frames);
    VT_FUZZ_CHECK(refused == expected.refused);
    VT_FUZZ_CHECK(reader.hasPendingHeader() == expected.headerPending);
    for (const ClientDocuments::Frame& frame : delivered) {
        buildMessage(frame);
    }
    QtFuzzEnvironment::finishInput();
    return 0;
}
