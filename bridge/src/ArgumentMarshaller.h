#pragma once

#include "src/ArgumentBlockParser.h"
#include "src/CallFrameBuilder.h"

namespace nativio {

// Turns the entries of an argument block into register and stack arguments. Returns false for
// a malformed block or one whose stack arguments do not fit the stack area; nothing is called
// in that case.
class ArgumentMarshaller {
  public:
    ArgumentMarshaller(ArgumentBlockParser& parser, CallFrameBuilder& builder);

    bool marshal();

  private:
    bool addScalar(const ArgumentEntry& entry);
    bool addStructure(uint64_t memberCount);

    ArgumentBlockParser& parser_;
    CallFrameBuilder& builder_;
};

}  // namespace nativio
