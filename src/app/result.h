#pragma once
// What an operation that gives something back returns: the value, or the
// reason it could not be had. One shape for every layer, so a caller tests
// `ok()` and reads `status.message()` the same way everywhere.

#include "app/status.h"

namespace marunoki {

template <typename T>
struct [[nodiscard]] Result {
    // Meaningful only when ok(); on failure it is left as default-made, or
    // holds what was had before the failure where the function says so.
    T value {};
    Status status = Status::success();

    bool ok() const { return status.ok(); }

    static Result failure(const Status &why)
    {
        Result result;
        result.status = why;
        return result;
    }
};

}  // namespace marunoki
