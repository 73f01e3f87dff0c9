// The move stack shared by all plies.
#include "common/move.h"

namespace vostil {

MoveEntry MoveStack[MOVE_STACK_SIZE];

}  // namespace vostil
