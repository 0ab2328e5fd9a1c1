#pragma once
// Keeps what the views showed while a job draws every runner into them: on
// leaving, the runner shown before (and its view: graph, comparison graph or
// table) is drawn again. For the jobs that write the views to files.

#include "window/window_views.h"

namespace marunoki {

class ShownRunner {
public:
    explicit ShownRunner(ViewContext &context);
    ~ShownRunner();
    ShownRunner(const ShownRunner &) = delete;
    ShownRunner &operator=(const ShownRunner &) = delete;

private:
    ViewContext &context_;
    qint32 shownRunner_;
    DrawnView drawn_;
    bool tableShown_;
};

}  // namespace marunoki
