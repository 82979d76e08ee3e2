#pragma once

#include <cstddef>
#include <string_view>

// Writes every byte unless the descriptor fails; answers how many bytes went out.
std::size_t DDWriteFully(int fileDescriptor, std::string_view bytes);
