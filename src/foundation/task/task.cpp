#include "foundation/task/task.h"

bool TTask::IsReady(uint32_t) {
    return true;
}
