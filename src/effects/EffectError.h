#pragma once

#include <stdexcept>

namespace vellumi {

// A misuse of an effect object by its caller: a bad argument, or a member called out of order.
// Raised before anything is stored or drawn.
class EffectError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

} // namespace vellumi
