#pragma once

#include <QByteArray>
#include <optional>

#include "messaging/VTMessageHeader.h"

class QIODevice;

// Cuts the bytes of a stream into frames: a header, then as many payload bytes as it announces.
// It reads only what the device already holds and never waits for more, so a frame that
// arrives in pieces is completed by a later call and a stalling service never holds the event
// loop.
class VTFrameReader {
  public:
    struct Step {
        enum Kind {
            NeedMore,       // the device holds too few bytes for the next header or payload
            HeaderRead,     // a header was read; its payload comes in a later step
            FrameRead,      // a whole frame: the header and its payload
            HeaderRefused,  // a header announcing a length no payload may have
            Broken,         // the device announced bytes it then did not hand over
        };
        Kind kind = NeedMore;
        VTMessageHeader header;
        QByteArray payload;
    };

    // Reads the next header, or the payload of the header read before, when the device holds
    // enough bytes for it. After HeaderRefused or Broken the stream is out of step: reset()
    // before reading again.
    Step next(QIODevice& device);

    bool hasPendingHeader() const { return header_.has_value(); }
    void reset() { header_.reset(); }

  private:
    std::optional<VTMessageHeader> header_;
};
