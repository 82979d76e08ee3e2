#include "messaging/VTFrameReader.h"

#include <QIODevice>

#include "model/VTJSONDocument.h"

VTFrameReader::Step VTFrameReader::next(QIODevice& device) {
    Step step;
    if (!header_) {
        if (device.bytesAvailable() < VTMessageHeader::kSize) {
            return step;
        }
        step.header = VTMessageHeader::headerWithData(device.read(VTMessageHeader::kSize));
        if (!step.header.isValid()) {
            step.kind = Step::HeaderRefused;
            return step;
        }
        header_ = step.header;
        step.kind = Step::HeaderRead;
        return step;
    }
    step.header = *header_;
    if (device.bytesAvailable() < header_->msgLength()) {
        return step;
    }
    header_.reset();
    // Read straight into the payload's own buffer: statistics frames run to hundreds of
    // kilobytes, and every extra copy of them costs time and peak memory. The spare room
    // behind the bytes lets the JSON reader work on them in place.
    step.payload.reserve(step.header.msgLength() + VTJSONDocument::kPadding);
    step.payload.resize(step.header.msgLength());
    for (qint64 filled = 0; filled < step.payload.size();) {
        const qint64 read = device.read(step.payload.data() + filled, step.payload.size() - filled);
        if (read <= 0) {
            step.kind = Step::Broken;
            step.payload.clear();
            return step;
        }
        filled += read;
    }
    step.kind = Step::FrameRead;
    return step;
}
