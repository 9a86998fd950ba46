#include "brdwall/services/module1.h"

namespace brd {

Module1& G() {
    static Module1 values;
    return values;
}

} // namespace brd
