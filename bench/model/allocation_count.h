#pragma once

namespace bench {

// Heap allocations made through operator new since the program started.
long long allocationCount();

}  // namespace bench
