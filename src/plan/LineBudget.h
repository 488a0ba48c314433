#pragma once

namespace quintara::plan {

// The clock lines the plan may use.
struct LineBudget {
    int usable = 0; // lines the model uses
    int used = 0;   // lines in use that the plan keeps
    int free = 0;   // usable - used
    int needed = 0; // lines the plan writes
};

} // namespace quintara::plan
