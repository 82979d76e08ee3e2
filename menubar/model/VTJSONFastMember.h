#pragma once

#include <simdjson.h>

#include <cstdint>
#include <string_view>

#include "model/VTJSONObject.h"

// One member of a dictionary of a VTJSONDocument. Only the two classes that read documents
// include this, so that nothing else sees the parser's types.
struct VTJSONObject::FastMember {
    std::string_view key;
    simdjson::dom::element value;
    // Where the members of a dictionary value lie among the document's.
    uint32_t childBegin = 0;
    uint32_t childCount = 0;
};
