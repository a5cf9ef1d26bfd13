// XCB's replies and errors are blocks from malloc: owned here, freed with it.
#pragma once

#include <cstdlib>
#include <memory>

namespace tonalis {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

}  // namespace tonalis
